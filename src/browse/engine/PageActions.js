// Applies a run of actions to the elements of one snapshot, in order, in the isolated world.
// Called as (function)(generation, actions). Refuses everything when the page holds another
// snapshot (it navigated, or a newer snapshot was taken). Returns a JSON text:
//   {"refused":true}, or
//   {"done":[true|false, ...]} (false: the element is gone), with "stop": k when the run
//   stopped before action k, to be called again from there: "wait" when that action is a click
//   on a control the page has not enabled yet ("force" on the action presses it all the same),
//   else the page is given a moment to take in the values typed before it (a page framework
//   renders what a value changed after the event that told it).
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
    function blur(el) {
        if (!document.hasFocus()) {
            fire(el, 'blur', { bubbles: false });
            fire(el, 'focusout');
        }
    }

    function key(name) {
        var enter = name === 'Enter';
        var code = enter ? 13 : name.length === 1 ? name.toUpperCase().charCodeAt(0) : 0;
        return { key: name, code: enter ? 'Enter' : '', keyCode: code, which: code, charCode: 0 };
    }

    // As typed: focus, the last key, the value with its input event, change when leaving.
    function type(el, v) {
        focus(el);
        var last = v.length ? v.charAt(v.length - 1) : 'Unidentified';
        fire(el, 'keydown', key(last));
        fire(el, 'beforeinput', { inputType: 'insertText', data: v });
        setValue(el, v);
        fire(el, 'input', { inputType: 'insertText', data: v, cancelable: false });
        fire(el, 'keyup', key(last));
        fire(el, 'change');
        blur(el);
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

    var done = [];
    var typed = false;
    for (var k = 0; k < actions.length; k++) {
        var a = actions[k];
        var el = a.e >= 0 ? page.table[a.e] : null;
        if (a.k === 'enter') {
            el = el || (page.focused && page.focused.isConnected ? page.focused : deepActive());
            if (!el) el = document.body;
        }
        if (!el || !el.isConnected) {
            done.push(false);
            continue;
        }
        // A press comes after the page has taken in the values typed before it.
        var pressing = a.k === 'click' || a.k === 'enter' || a.k === 'submit';
        if (pressing && typed) return JSON.stringify({ done: done, stop: k });
        if (a.k === 'click' && !a.force && disabled(el)) return JSON.stringify({ done: done, stop: k, wait: true });
        switch (a.k) {
        case 'value':
            type(el, a.v);
            typed = true;
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
        done.push(true);
    }
    return JSON.stringify({ done: done });
})
