// Applies a run of actions to the elements of one snapshot, in order, in the isolated world.
// Called as (function)(generation, actions). Refuses everything when the page holds another
// snapshot (it navigated, or a newer snapshot was taken). Returns a JSON text:
//   {"refused":true}, or
//   {"done":[true|false, ...]} (false: the element is gone) for the actions applied at once,
//   with "deferred": true when the rest waits in the page for it to take in what was typed
//   (see run below); those go on by themselves.
// The page sees what a person's typing and pressing would give it, also in a pane that is not
// on screen (and so has no focus of its own).
(function (gen, actions) {
    'use strict';
    var page = window.__bgPage;
    if (!page || page.gen !== gen) return JSON.stringify({ refused: true });

    function setter(proto) {
        var d = Object.getOwnPropertyDescriptor(proto, 'value');
        return d && d.set;
    }
    // The element's own value property, never one a page script put on it.
    var VALUE = [
        [HTMLInputElement, setter(HTMLInputElement.prototype)],
        [HTMLTextAreaElement, setter(HTMLTextAreaElement.prototype)],
        [HTMLSelectElement, setter(HTMLSelectElement.prototype)]
    ];
    function setValue(el, v) {
        for (var k = 0; k < VALUE.length; k++) {
            if (el instanceof VALUE[k][0]) {
                VALUE[k][1].call(el, v);
                return;
            }
        }
        el.value = v;
    }

    function fire(el, type, init) {
        var o = init || {};
        if (o.bubbles === undefined) o.bubbles = true;
        if (o.cancelable === undefined) o.cancelable = type === 'submit' || type === 'keydown' || type === 'keypress';
        o.composed = true;
        var event;
        if (type.indexOf('key') === 0) event = new KeyboardEvent(type, o);
        else if (type.indexOf('pointer') === 0) event = new PointerEvent(type, o);
        else if (type.indexOf('mouse') === 0 || type === 'click') event = new MouseEvent(type, o);
        else if (type === 'focus' || type === 'blur' || type === 'focusin' || type === 'focusout') event = new FocusEvent(type, o);
        else if (type === 'input' || type === 'beforeinput') event = new InputEvent(type, o);
        else event = new Event(type, o);
        return el.dispatchEvent(event);
    }

    // focus() in a page without focus moves document.activeElement but tells nobody; the
    // page's own focus listeners hear it here.
    function focus(el) {
        el.focus({ preventScroll: true });
        if (!document.hasFocus()) {
            fire(el, 'focus', { bubbles: false });
            fire(el, 'focusin');
        }
    }

    function key(name) {
        var enter = name === 'Enter';
        var code = enter ? 13 : name.length === 1 ? name.toUpperCase().charCodeAt(0) : 0;
        return { key: name, code: enter ? 'Enter' : '', keyCode: code, which: code, charCode: 0 };
    }

    // As typed: focus, the last key, the value with its input event, change when leaving. The
    // field is told of its focus without taking it, which would cost the page a new style.
    function type(el, v) {
        fire(el, 'focus', { bubbles: false });
        fire(el, 'focusin');
        var last = v.length ? v.charAt(v.length - 1) : 'Unidentified';
        fire(el, 'keydown', key(last));
        fire(el, 'beforeinput', { inputType: 'insertText', data: v });
        setValue(el, v);
        fire(el, 'input', { inputType: 'insertText', data: v, cancelable: false });
        fire(el, 'keyup', key(last));
        fire(el, 'change');
        fire(el, 'blur', { bubbles: false });
        fire(el, 'focusout');
    }

    function disabled(el) {
        return el.disabled === true || el.getAttribute('aria-disabled') === 'true';
    }

    // A press as a pointer gives it, then the click (which runs a button's or a link's own
    // behaviour).
    function press(el) {
        var at = { button: 0, buttons: 1, view: window };
        fire(el, 'pointerdown', { pointerType: 'mouse', isPrimary: true, button: 0, buttons: 1 });
        fire(el, 'mousedown', at);
        if (el.focus) el.focus({ preventScroll: true });
        fire(el, 'pointerup', { pointerType: 'mouse', isPrimary: true, button: 0, buttons: 0 });
        fire(el, 'mouseup', { button: 0, buttons: 0, view: window });
        el.click();
    }

    var BLOCKING = /^(text|search|url|tel|email|password|date|month|week|time|datetime-local|number)$/;

    // The Enter key in a field, as the engine handles it: the page's key listeners first; if
    // none refuses it, the form's implicit submission: its first submit button is pressed, or,
    // without one, a form with at most one field that blocks that is submitted.
    function enter(target) {
        var form = target.form;
        if (!fire(target, 'keydown', key('Enter'))) return fire(target, 'keyup', key('Enter'));
        var go = fire(target, 'keypress', key('Enter'));
        if (go && form && target instanceof HTMLInputElement && BLOCKING.test(target.type)) {
            // The default button is the form's first submit button in tree order; image
            // buttons count, though form.elements leaves them out.
            var controls = Array.prototype.slice.call(form.elements);
            var images = form.querySelectorAll('input[type=image]');
            for (var m = 0; m < images.length; m++) if (controls.indexOf(images[m]) < 0) controls.push(images[m]);
            controls.sort(function (a, b) {
                return a === b ? 0 : a.compareDocumentPosition(b) & Node.DOCUMENT_POSITION_FOLLOWING ? -1 : 1;
            });
            var button = null;
            var blocking = 0;
            for (var k = 0; k < controls.length; k++) {
                var c = controls[k];
                if (!button && (c.type === 'submit' || c.type === 'image') && c.form === form &&
                    (c instanceof HTMLButtonElement || c instanceof HTMLInputElement))
                    button = c;
                if (c instanceof HTMLInputElement && BLOCKING.test(c.type)) blocking++;
            }
            if (button) {
                if (!button.disabled) button.click();
            } else if (blocking <= 1) {
                form.requestSubmit();
            }
        }
        fire(target, 'keyup', key('Enter'));
    }

    function deepActive() {
        var el = document.activeElement;
        while (el && el.shadowRoot && el.shadowRoot.activeElement) el = el.shadowRoot.activeElement;
        return el;
    }

    // A press comes after the page has taken in what was typed: a page framework renders the
    // values (and enables its button) in the tasks that follow the events that told it. The
    // rest of the run goes on once those have run, and a control the page has not enabled yet
    // is waited for a while.
    var hop = new MessageChannel();
    function later(fn, ms) {
        if (ms) return setTimeout(fn, ms);
        hop.port1.onmessage = fn;
        hop.port2.postMessage(0);
    }

    function apply(a, el) {
        switch (a.k) {
        case 'value':
            type(el, a.v);
            break;
        case 'selected':
            el.selected = !!a.b;
            break;
        case 'focus':
            focus(el);
            page.focused = el;
            break;
        case 'click':
            press(el);
            break;
        case 'submit':
            // Runs the form's submit handlers (an inline onsubmit among them) without
            // submitting: the same as calling the handler.
            fire(el, 'submit');
            break;
        case 'change':
            fire(el, 'change');
            break;
        case 'src':
            el.src = a.v;
            break;
        case 'enter':
            enter(el);
            break;
        }
    }

    var done = [];
    var deferred = false;
    // Runs actions from k on; false when the rest was put off for the page.
    function run(k, typed, waited) {
        for (; k < actions.length; k++) {
            if (window.__bgPage !== page) return true; // the page moved on meanwhile
            var a = actions[k];
            var el = a.e >= 0 ? page.table[a.e] : null;
            if (a.k === 'enter') {
                el = el || (page.focused && page.focused.isConnected ? page.focused : deepActive());
                if (!el) el = document.body;
            }
            if (!el || !el.isConnected) {
                if (!deferred) done.push(false);
                continue;
            }
            var pressing = a.k === 'click' || a.k === 'enter' || a.k === 'submit';
            if (pressing && typed) {
                deferred = true;
                later(function () { run(k, false, 0); }, 0);
                return false;
            }
            if (a.k === 'click' && disabled(el) && waited < 30) {
                deferred = true;
                later(function () { run(k, false, waited + 1); }, 100);
                return false;
            }
            apply(a, el);
            if (a.k === 'value') typed = true;
            if (!deferred) done.push(true);
        }
        return true;
    }
    run(0, false, 0);
    return JSON.stringify(deferred ? { done: done, deferred: true } : { done: done });
})
