// Watches the page for the fields of a login that appear after it has loaded (a form built by
// script, a password field shown after the user name), in the program's isolated world.
// Called as (function)(on). While on, a line "BG_NONCE fields top - <address>" tells the pane
// each time the set of fields a person can fill has changed, at most about three times a
// second. BG_NONCE is replaced by the pane with its per-process secret.
(function (on) {
    'use strict';
    if (window.__bgWatch) window.__bgWatch.stop();
    window.__bgWatch = null;
    if (!on) return 'off';

    var TEXT = /^(text|email|tel|number|password)$/;

    // As the snapshot judges it.
    function shown(el) {
        var rects = el.getClientRects();
        if (!rects.length) return false;
        var style = getComputedStyle(el);
        if (style.visibility !== 'visible' || style.opacity === '0') return false;
        var r = rects[0];
        if (r.width < 2 && r.height < 2) return false;
        return r.right + window.scrollX > 0 && r.bottom + window.scrollY > 0;
    }

    // The fields a person could fill now, open shadow roots included: "<password>/<text>".
    function fields() {
        var passwords = 0;
        var texts = 0;
        var roots = [document];
        for (var r = 0; r < roots.length; r++) {
            var all = roots[r].querySelectorAll('*');
            for (var k = 0; k < all.length; k++) {
                var el = all[k];
                if (el.shadowRoot) roots.push(el.shadowRoot);
                if (el.tagName !== 'INPUT' || !TEXT.test(el.type) || el.disabled || !shown(el)) continue;
                if (el.type === 'password') passwords++;
                else texts++;
            }
        }
        return passwords + '/' + texts;
    }

    // Compared with what the last snapshot saw, so that nothing built since then is missed.
    var last = window.__bgPage && window.__bgPage.fields ? window.__bgPage.fields : fields();
    var pending = null;
    var stopped = false;
    function check() {
        pending = null;
        if (stopped) return;
        var now = fields();
        if (now === last) return;
        last = now;
        if (now !== '0/0') console.debug('BG_NONCE fields top - ' + location.href);
    }
    function soon() {
        if (!pending && !stopped) pending = setTimeout(check, 300);
    }
    var observer = new MutationObserver(soon);
    soon();
    observer.observe(document, {
        subtree: true,
        childList: true,
        attributes: true,
        attributeFilter: ['style', 'class', 'hidden', 'type', 'disabled', 'aria-hidden', 'open']
    });
    // Changes inside shadow roots and by style sheets reach no observer.
    var poll = setInterval(check, 1000);
    window.__bgWatch = {
        stop: function () {
            stopped = true;
            observer.disconnect();
            clearInterval(poll);
            if (pending) clearTimeout(pending);
        }
    };
    return 'on';
})
