// The page snapshot: a plain description of the document and its same-origin frames, read in
// the program's isolated world so the page's own scripts neither see nor disturb it.
// Called as (function)(generation). Returns "BGSNAP <generation> <ms>\n" + JSON, where ms is
// the time spent here. The elements it describes are kept, in the same order, for the actions
// of that generation (window.__bgPage).
(function (gen) {
    'use strict';
    var t0 = performance.now();
    // Elements the login and page-load logic read; everything else is left out to keep the
    // snapshot small on large pages (the engine picks them out, in document order).
    var INTEREST = 'input,select,option,textarea,a,area,button,img,frame,iframe';
    var table = [];     // element (or text node) by reference number
    var refs = new Map();
    var els = [];       // descriptions, same order as table
    var texts = [];     // shared texts (a container's innerText), by index
    var textRefs = new Map();

    function sharedText(el) {
        if (!el) return -1;
        var i = textRefs.get(el);
        if (i === undefined) {
            i = texts.length;
            texts.push(el.innerText || '');
            textRefs.set(el, i);
        }
        return i;
    }

    // The first child node as the old engine saw it (whitespace-only text does not count): an
    // element by reference (fc), or the text of a text node (ft).
    function firstChild(el, o) {
        for (var n = el.firstChild; n; n = n.nextSibling) {
            if (n.nodeType === 1) {
                o.fc = ref(n);
                return;
            }
            if (n.nodeType === 3 && n.data.trim() !== '') {
                o.ft = n.data;
                return;
            }
        }
    }

    // The rendered text of an element. For text alone that is its text with runs of white
    // space collapsed, which the engine gives far more cheaply than through layout.
    function text(el) {
        if (el.childElementCount === 0) return el.textContent.replace(/[ \t\n\r\f]+/g, ' ').trim();
        return el.innerText;
    }

    function attr(el, name, o, key) {
        var v = el.getAttribute(name);
        if (v !== null && v !== '') o[key] = v;
    }

    function describe(el) {
        var tag = el.tagName.toUpperCase();
        var o = { t: tag };
        if (el.id) o.i = el.id;
        attr(el, 'name', o, 'n');
        switch (tag) {
        case 'INPUT':
            o.ty = el.type;
            if (el.value) o.v = el.value;
            o.oh = el.outerHTML;
            attr(el, 'alt', o, 'al');
            if (el.getAttribute('src')) o.s = el.src;
            attr(el, 'onclick', o, 'oc');
            // Only a password field's surroundings are read (does it ask for a social
            // security number?); a container's text is costly on a large page.
            if (o.ty === 'password') {
                var gp = sharedText(el.parentElement && el.parentElement.parentElement);
                if (gp >= 0) o.gp = gp;
            }
            break;
        case 'SELECT':
            o.ty = el.type;
            if (el.value) o.v = el.value;
            attr(el, 'onchange', o, 'oc');
            o.ch = [];
            for (var c = el.firstElementChild; c; c = c.nextElementSibling) o.ch.push(ref(c));
            break;
        case 'OPTION':
            if (el.value) o.v = el.value;
            o.tx = el.text;
            if (el.selected) o.sel = 1;
            break;
        case 'TEXTAREA':
            o.ty = el.type;
            if (el.value) o.v = el.value;
            break;
        case 'A':
        case 'AREA':
        case 'BUTTON':
            if (tag === 'BUTTON') {
                o.ty = el.type;
                if (el.value) o.v = el.value;
            } else if (el.getAttribute('href') !== null) {
                o.h = el.href;
                // A script link carries its call where the host name would be; the
                // script-submit test reads it from there.
                o.hn = /^javascript:/i.test(el.href) ? el.href.slice(11) : el.hostname;
            }
            if (tag === 'AREA') attr(el, 'alt', o, 'al');
            o.tx = text(el);
            o.ih = el.innerHTML;
            o.oh = el.outerHTML;
            attr(el, 'onclick', o, 'oc');
            o.cc = el.childElementCount;
            firstChild(el, o);
            break;
        case 'IMG':
            o.s = el.src;
            attr(el, 'alt', o, 'al');
            if (el.complete && el.naturalWidth > 0) o.ck = 1;
            o.oh = el.outerHTML;
            break;
        case 'FRAME':
        case 'IFRAME':
            o.s = el.src;
            break;
        case 'FORM':
            attr(el, 'onsubmit', o, 'os');
            break;
        default:
            // A child that a rule looks at (an anchor's first child, an option group).
            o.oh = el.outerHTML;
            o.tx = el.innerText;
            attr(el, 'alt', o, 'al');
            if (el.getAttribute('src')) o.s = el.src;
            o.cc = el.childElementCount;
        }
        return o;
    }

    function ref(node) {
        var i = refs.get(node);
        if (i === undefined) {
            i = table.length;
            table.push(node);
            refs.set(node, i);
            els.push(null);
            els[i] = describe(node);
        }
        return i;
    }

    function interesting(root) {
        var list = root.querySelectorAll(INTEREST);
        var out = new Array(list.length);
        for (var k = 0; k < list.length; k++) out[k] = ref(list[k]);
        return out;
    }

    function snapDocument(d) {
        var body = d.body;
        var o = {
            u: d.URL,
            dm: d.domain || '',
            ti: d.title || '',
            ct: d.contentType || '',
            b: body ? 1 : 0,
            bh: body ? body.innerHTML : '',
            all: body ? interesting(body) : [],
            forms: [],
            links: [],
            images: [],
            scripts: [],
            frames: []
        };
        for (var f = 0; f < d.forms.length; f++) {
            var form = d.forms[f];
            var fr = ref(form);
            els[fr].fe = interesting(form);
            o.forms.push(fr);
        }
        for (var l = 0; l < d.links.length; l++) o.links.push(ref(d.links[l]));
        for (var m = 0; m < d.images.length; m++) o.images.push(ref(d.images[m]));
        for (var s = 0; s < d.scripts.length; s++) o.scripts.push(d.scripts[s].innerHTML);
        var frames = d.querySelectorAll('frame,iframe');
        for (var k = 0; k < frames.length; k++) {
            var fe = frames[k];
            var inner = null;
            try {
                inner = fe.contentDocument;
            } catch (e) {
                inner = null;
            }
            o.frames.push({ n: fe.name || '', s: fe.src || '', el: ref(fe), d: inner ? snapDocument(inner) : null });
        }
        return o;
    }

    var doc = snapDocument(document);
    window.__bgPage = { gen: gen, table: table };
    var json = JSON.stringify({ gen: gen, els: els, texts: texts, doc: doc });
    return 'BGSNAP ' + gen + ' ' + (performance.now() - t0).toFixed(3) + '\n' + json;
})
