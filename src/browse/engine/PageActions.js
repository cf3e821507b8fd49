// Applies a run of actions to the elements of one snapshot, in order, in the isolated world.
// Called as (function)(generation, actions). Refuses everything when the page holds another
// snapshot (it navigated, or a newer snapshot was taken). Returns a JSON text:
// {"refused":true} or {"done":[true|false, ...]} (false: the element is gone).
(function (gen, actions) {
    'use strict';
    var page = window.__bgPage;
    if (!page || page.gen !== gen) return JSON.stringify({ refused: true });
    var fire = function (el, type) {
        el.dispatchEvent(new Event(type, { bubbles: true, cancelable: type === 'submit' }));
    };
    var done = [];
    for (var k = 0; k < actions.length; k++) {
        var a = actions[k];
        var el = page.table[a.e];
        if (!el || !el.isConnected) {
            done.push(false);
            continue;
        }
        switch (a.k) {
        case 'value':
            el.value = a.v;
            // Page frameworks learn of a value through these events, as when a user types.
            fire(el, 'input');
            fire(el, 'change');
            break;
        case 'selected':
            el.selected = !!a.b;
            break;
        case 'focus':
            el.focus();
            break;
        case 'click':
            el.click();
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
        }
        done.push(true);
    }
    return JSON.stringify({ done: done });
})
