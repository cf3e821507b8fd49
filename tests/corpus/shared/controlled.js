// Controlled inputs as component frameworks keep them: the state changes only on 'input' events,
// a value written through the element's own 'value' property is remembered so that the event
// after it is not taken for typing, and every change renders the state back into all inputs.
function controlledForm(inputs, onChange) {
  const native = Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value');
  const state = {};
  const last = new Map();
  const render = () => {
    for (const [key, input] of Object.entries(inputs))
      if (native.get.call(input) !== state[key]) input.value = state[key];
    if (onChange) onChange(state);
  };
  for (const [key, input] of Object.entries(inputs)) {
    state[key] = '';
    last.set(input, '');
    Object.defineProperty(input, 'value', {
      configurable: true,
      get() { return native.get.call(this); },
      set(v) { last.set(this, String(v)); native.set.call(this, v); },
    });
    input.addEventListener('input', () => {
      const now = native.get.call(input);
      if (now === last.get(input)) return;
      last.set(input, now);
      state[key] = now;
      render();
    });
  }
  render();
  return state;
}
