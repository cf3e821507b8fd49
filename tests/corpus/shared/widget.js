// A small component runtime, as script-built sign-in widgets ship one in their bundle (they send
// with api.js).
// State lives in the component: an input's state changes only through a bubbling 'input' or
// 'change' event that reaches the root, and only when the value differs from the last one the
// runtime saw or wrote (a value written through the element's own 'value' property is noted as
// seen, so the event after it changes nothing). Every state change renders the state back into
// every bound input, as controlled inputs are.
(function (global) {
  const valueOf = Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value');

  function el(tag, attrs, ...children) {
    const node = document.createElement(tag);
    for (const [name, value] of Object.entries(attrs || {})) {
      if (name === 'class') node.className = value;
      else if (name === 'text') node.textContent = value;
      else if (name === 'html') node.innerHTML = value;
      else node.setAttribute(name, value === true ? '' : value);
    }
    node.append(...children.flat());
    return node;
  }

  function mount(root, setup) {
    const state = {};
    const bound = new Map();
    const seen = new WeakMap();
    const submits = new Map();
    let update = () => {};
    const render = () => {
      for (const [input, key] of bound) {
        if (valueOf.get.call(input) !== state[key]) {
          valueOf.set.call(input, state[key]);
          seen.set(input, state[key]);
        }
      }
      update(state);
    };
    const ctx = {
      el,
      state,
      bind(input, key, initial = '') {
        state[key] = initial;
        bound.set(input, key);
        seen.set(input, initial);
        valueOf.set.call(input, initial);
        Object.defineProperty(input, 'value', {
          configurable: true,
          get() { return valueOf.get.call(this); },
          set(v) { seen.set(this, String(v)); valueOf.set.call(this, v); },
        });
        return input;
      },
      onSubmit(form, handler) { submits.set(form, handler); },
    };
    const onValue = (event) => {
      const key = bound.get(event.target);
      if (key === undefined) return;
      const now = valueOf.get.call(event.target);
      if (now === seen.get(event.target)) return;
      seen.set(event.target, now);
      state[key] = now;
      render();
    };
    root.addEventListener('input', onValue);
    root.addEventListener('change', onValue);
    root.addEventListener('submit', (event) => {
      const handler = submits.get(event.target);
      if (handler) {
        event.preventDefault();
        handler(state, event);
      }
    });
    update = setup(ctx) || update;
    render();
    return ctx;
  }

  global.Widget = { el, mount };
})(window);
