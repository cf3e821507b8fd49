// The page snapshot as it was before it was reduced to what the login rules use: the baseline
// EngineSnapshotBench measures the program's snapshot against, in the same run. Not built into
// the program.
// The page snapshot: a plain description of the document and its same-origin frames, read in
// the program's isolated world so the page's own scripts neither see nor disturb it.
// Called as (function)(generation, controlWords), controlWords being the source of a regular
// expression for the texts of sign-in controls that are neither buttons nor links. Returns
// "BGSNAP <generation> <ms>\n" + JSON, where ms is the time spent here. The elements it
// describes are kept, in the same order, for the actions of that generation (window.__bgPage).
(function (gen, controlWords) {
    'use strict';
    var t0 = performance.now();
    // Elements the login and page-load logic read; everything else is left out to keep the
    // snapshot small on large pages (the engine picks them out, in document order).
    var INTEREST = 'input,select,option,textarea,a,area,button,img,frame,iframe,[role=button]';
    // Input types a page uses for a user name: the algorithms see them as "text", as an engine
    // that did not know them would have.
    var TEXT_LIKE = { email: 1, tel: 1, number: 1 };
    var FILLED = { text: 1, password: 1 };
    var PRESSED = { submit: 1, image: 1, button: 1 };
    var CONTROL = controlWords ? new RegExp('^\\s*(' + controlWords + ')\\s*$', 'i') : null;

    // Properties are read through the prototypes' getters: a form control named "id", "name",
    // "elements" or "getAttribute" (and an image named "forms" on the document) hides the
    // element's own property behind it.
    function getter(proto, name) {
        var d = Object.getOwnPropertyDescriptor(proto, name);
        return d && d.get;
    }
    var G = {
        tagName: getter(Element.prototype, 'tagName'),
        id: getter(Element.prototype, 'id'),
        outerHTML: getter(Element.prototype, 'outerHTML'),
        innerHTML: getter(Element.prototype, 'innerHTML'),
        childCount: getter(Element.prototype, 'childElementCount'),
        shadowRoot: getter(Element.prototype, 'shadowRoot'),
        firstElement: getter(Element.prototype, 'firstElementChild'),
        nextElement: getter(Element.prototype, 'nextElementSibling'),
        innerText: getter(HTMLElement.prototype, 'innerText'),
        firstChild: getter(Node.prototype, 'firstChild'),
        nextSibling: getter(Node.prototype, 'nextSibling'),
        parentElement: getter(Node.prototype, 'parentElement'),
        textContent: getter(Node.prototype, 'textContent'),
        nodeType: getter(Node.prototype, 'nodeType'),
        inputForm: getter(HTMLInputElement.prototype, 'form'),
        docBody: getter(Document.prototype, 'body'),
        docForms: getter(Document.prototype, 'forms'),
        docLinks: getter(Document.prototype, 'links'),
        docImages: getter(Document.prototype, 'images'),
        docScripts: getter(Document.prototype, 'scripts'),
        docUrl: getter(Document.prototype, 'URL'),
        docDomain: getter(Document.prototype, 'domain'),
        docTitle: getter(Document.prototype, 'title'),
        docType: getter(Document.prototype, 'contentType')
    };
    var getAttribute = Element.prototype.getAttribute;
    var closest = Element.prototype.closest;
    var nodeContains = Node.prototype.contains;
    var elementQuery = Element.prototype.querySelectorAll;
    var documentQuery = Document.prototype.querySelectorAll;
    var fragmentQuery = DocumentFragment.prototype.querySelectorAll;
    function get(fn, o) {
        return fn.call(o);
    }
    function query(root, selector) {
        var nodeType = get(G.nodeType, root);
        if (nodeType === 9) return documentQuery.call(root, selector);
        if (nodeType === 11) return fragmentQuery.call(root, selector);
        return elementQuery.call(root, selector);
    }

    var table = []; // element (or text node) by reference number
    var refs = new Map();
    var els = []; // descriptions, same order as table
    var texts = []; // shared texts (a container's innerText), by index
    var textRefs = new Map();

    function sharedText(el) {
        if (!el) return -1;
        var i = textRefs.get(el);
        if (i === undefined) {
            i = texts.length;
            texts.push(get(G.innerText, el) || '');
            textRefs.set(el, i);
        }
        return i;
    }

    // The first child node as the old engine saw it (whitespace-only text does not count): an
    // element by reference (fc), or the text of a text node (ft).
    function firstChild(el, o) {
        for (var n = get(G.firstChild, el); n; n = get(G.nextSibling, n)) {
            var type = get(G.nodeType, n);
            if (type === 1) {
                o.fc = ref(n);
                return;
            }
            if (type === 3 && n.data.trim() !== '') {
                // Mostly the element's whole text: then only said so.
                if (n.data === o.tx) o.fx = 1;
                else o.ft = n.data;
                return;
            }
        }
    }

    function squeeze(text) {
        return (text || '').replace(/[ \t\n\r\f\u00a0]+/g, ' ').trim();
    }

    // The rendered text of an element. For text alone that is its text with runs of white
    // space collapsed (no-break spaces stay, as in innerText), which the engine gives far more
    // cheaply than through layout.
    function text(el, childCount) {
        if (childCount === 0) return get(G.textContent, el).replace(/[ \t\n\r\f]+/g, ' ').trim();
        return get(G.innerText, el);
    }

    function attr(el, name, o, key) {
        var v = getAttribute.call(el, name);
        if (v !== null && v !== '') o[key] = v;
    }

    // Whether a person could see the control: rendered, not invisible, not a speck and not
    // pushed off the page (where pages hide traps for robots and the other variant of a form).
    function shown(el) {
        var rects = el.getClientRects();
        if (!rects.length) return false;
        var style = getComputedStyle(el);
        if (style.visibility !== 'visible' || style.opacity === '0') return false;
        var r = rects[0];
        if (r.width < 2 && r.height < 2) return false;
        return r.right + window.scrollX > 0 && r.bottom + window.scrollY > 0;
    }

    // What a control is called where it stands: its labels, else its accessible name.
    // The text of the labels of every control of a document, gathered in one pass (asking each
    // control for its labels searches the whole document each time).
    var labelText = new Map();
    function gatherLabels(root, hosts) {
        var labels = deep(root, 'label', [], hosts);
        for (var k = 0; k < labels.length; k++) {
            var target = labels[k].control;
            if (!target) continue;
            var before = labelText.get(target) || '';
            if (before.length < 200) labelText.set(target, before + ' ' + get(G.textContent, labels[k]));
        }
    }

    function label(el, o) {
        var out = squeeze(labelText.get(el) || '');
        if (!out) out = squeeze(getAttribute.call(el, 'aria-label') || getAttribute.call(el, 'title') || '');
        if (out) o.lb = out.slice(0, 200);
    }

    // Whether a control is shown is judged later, and only where a login could be: outside any
    // form, or in a form that asks for a password or has few fields (layout and style cost
    // most of a large page's snapshot).
    var toLook = [];
    var noLook = new Set(); // members of forms that are no login: more fields than one has
    var MAX_FIELDS = 5;
    function control(el, o, ref) {
        toLook.push(ref);
        if (el.disabled) o.dis = 1;
        attr(el, 'role', o, 'ro');
    }

    function describe(el, r) {
        var tag = String(get(G.tagName, el)).toUpperCase();
        var o = { t: tag };
        var id = get(G.id, el);
        if (id) o.i = id;
        attr(el, 'name', o, 'n');
        switch (tag) {
        case 'INPUT':
            o.ty = el.type;
            if (TEXT_LIKE[o.ty]) {
                o.ht = o.ty;
                o.ty = 'text';
            }
            if (el.value) o.v = el.value;
            o.oh = get(G.outerHTML, el);
            attr(el, 'alt', o, 'al');
            if (getAttribute.call(el, 'src')) o.s = el.src;
            attr(el, 'onclick', o, 'oc');
            // How a field or a button looks and what it is called: the login logic reads that
            // of these kinds only.
            if (FILLED[o.ty]) {
                control(el, o, r);
                if (el.readOnly) o.rdo = 1;
                attr(el, 'autocomplete', o, 'ac');
                attr(el, 'placeholder', o, 'ph');
                label(el, o);
            } else if (PRESSED[o.ty]) {
                control(el, o, r);
            }
            // Only a password field's surroundings are read (does it ask for a social
            // security number?); a container's text is costly on a large page.
            if (o.ty === 'password') {
                var parent = get(G.parentElement, el);
                var gp = sharedText(parent && get(G.parentElement, parent));
                if (gp >= 0) o.gp = gp;
            }
            break;
        case 'SELECT':
            o.ty = el.type;
            if (el.value) o.v = el.value;
            attr(el, 'onchange', o, 'oc');
            o.ch = [];
            for (var c = get(G.firstElement, el); c; c = get(G.nextElement, c)) o.ch.push(ref(c));
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
                control(el, o, r);
                label(el, o);
            } else if (getAttribute.call(el, 'href') !== null) {
                o.h = el.href;
                // A script link carries its call where the host name would be; the
                // script-submit test reads it from there.
                o.hn = /^javascript:/i.test(el.href) ? el.href.slice(11) : el.hostname;
            }
            if (tag === 'AREA') attr(el, 'alt', o, 'al');
            var childCount = get(G.childCount, el);
            o.tx = text(el, childCount);
            // Markup that is its text alone is not sent twice.
            var inner = get(G.innerHTML, el);
            if (inner !== o.tx) o.ih = inner;
            o.oh = get(G.outerHTML, el);
            attr(el, 'onclick', o, 'oc');
            o.cc = childCount;
            firstChild(el, o);
            // A link a page made its sign-in control: how it looks counts.
            if (tag === 'A' && CONTROL && o.tx.length <= 40 && CONTROL.test(o.tx)) control(el, o, r);
            break;
        case 'IMG':
            o.s = el.src;
            attr(el, 'alt', o, 'al');
            if (el.complete && el.naturalWidth > 0) o.ck = 1;
            o.oh = get(G.outerHTML, el);
            break;
        case 'FRAME':
        case 'IFRAME':
            o.s = el.src;
            if (tag === 'IFRAME') {
                if (!shown(el)) o.hid = 1;
                label(el, o);
            }
            break;
        case 'FORM':
            attr(el, 'onsubmit', o, 'os');
            break;
        default:
            // A child that a rule looks at (an anchor's first child, an option group), or a
            // control the page made of another element (role "button", a sign-in text).
            o.oh = get(G.outerHTML, el);
            o.tx = get(G.innerText, el);
            attr(el, 'alt', o, 'al');
            if (getAttribute.call(el, 'src')) o.s = el.src;
            o.cc = get(G.childCount, el);
            attr(el, 'role', o, 'ro');
            if (o.ro) {
                control(el, o, r);
                label(el, o);
            }
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
            try {
                els[i] = describe(node, i);
            } catch (e) {
                // One element the page has made unreadable costs that element only.
                els[i] = { t: '#bad' };
            }
        }
        return i;
    }

    // Open shadow roots hold parts of the document too (a login form in a web component).
    // Without any, the engine's own selector search is the fast way.
    // Of the common elements that cannot hold one, none is asked.
    var MAY_HOST = ':not(a,area,b,br,button,code,col,dd,dl,dt,em,form,hr,i,iframe,img,input,label,li,link,meta,ol,' +
        'optgroup,option,path,pre,script,select,small,strong,style,svg,table,tbody,td,textarea,th,thead,tr,ul)';
    function shadowHosts(root) {
        var hosts = [];
        var all = query(root, MAY_HOST);
        for (var k = 0; k < all.length; k++) if (get(G.shadowRoot, all[k])) hosts.push(all[k]);
        return hosts;
    }

    // The elements of interest below root, in the order a reader meets them: a shadow root's
    // content comes where its host stands. `hosts`: the shadow hosts below root, when known.
    function deep(root, selector, out, hosts) {
        if (!hosts) hosts = shadowHosts(root);
        var list = query(root, selector);
        if (!hosts.length) {
            for (var k = 0; k < list.length; k++) out.push(list[k]);
            return out;
        }
        var inList = new Set();
        for (var m = 0; m < list.length; m++) inList.add(list[m]);
        var isHost = new Set(hosts);
        var all = query(root, '*');
        for (var n = 0; n < all.length; n++) {
            var el = all[n];
            if (inList.has(el)) out.push(el);
            if (isHost.has(el)) deep(get(G.shadowRoot, el), selector, out);
        }
        return out;
    }

    // Controls a page makes of spans, divs and list items: a short text that reads as a
    // sign-in word, its element taken as the control (a click on it reaches the page's
    // handler through bubbling).
    function textControls(root, out) {
        if (!CONTROL) return out;
        var walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
        var seen = 0;
        for (var n = walker.nextNode(); n && seen < 20000; n = walker.nextNode(), seen++) {
            var data = n.data;
            if (data.length > 40 || !CONTROL.test(data)) continue;
            var el = get(G.parentElement, n);
            if (!el) continue;
            var tag = String(get(G.tagName, el)).toUpperCase();
            if (tag === 'SCRIPT' || tag === 'STYLE' || tag === 'OPTION' || tag === 'TITLE' || tag === 'LABEL' ||
                tag === 'NOSCRIPT' || closest.call(el, 'a,button,select,[role=button]'))
                continue;
            out.push(el);
        }
        return out;
    }

    function inOrder(a, b) {
        if (a === b) return 0;
        return a.compareDocumentPosition(b) & Node.DOCUMENT_POSITION_FOLLOWING ? -1 : 1;
    }

    // References of the interesting elements below root, with the text controls merged in.
    function interesting(root, withTextControls, hosts) {
        var list = deep(root, INTEREST, [], hosts);
        var extra = withTextControls ? textControls(root, []) : [];
        if (extra.length) list = list.concat(extra).sort(inOrder);
        var out = new Array(list.length);
        for (var k = 0; k < list.length; k++) out[k] = ref(list[k]);
        for (var m = 0; m < extra.length; m++) {
            var o = els[refs.get(extra[m])];
            if (o.cx) continue;
            o.cx = 1;
            if (!shown(extra[m])) o.hid = 1;
        }
        return out;
    }

    // The references of a form's elements of interest, taken from those of the document when
    // they stand there in one run (as they do without shadow roots or text controls); null
    // when they do not.
    var places = new WeakMap(); // a document's list of references: where each stands in it
    function inAll(form, all) {
        var list = query(form, INTEREST);
        if (!list.length) return [];
        var at = places.get(all);
        if (!at) {
            at = new Map();
            for (var k = 0; k < all.length; k++) at.set(all[k], k);
            places.set(all, at);
        }
        var start = at.get(refs.get(list[0]));
        var end = start + list.length - 1;
        if (start === undefined || end >= all.length || table[all[end]] !== list[list.length - 1]) return null;
        return all.slice(start, end + 1);
    }

    // Whether the page asks for a password, or for text outside any form (a login without a
    // <form>): only then are text controls looked for.
    function needsTextControls(d, hosts) {
        if (hosts.length) return true;
        var inputs = documentQuery.call(d, 'input');
        for (var k = 0; k < inputs.length; k++) {
            var type = inputs[k].type;
            if (type === 'password') return true;
            if ((type === 'text' || TEXT_LIKE[type]) && !get(G.inputForm, inputs[k])) return true;
        }
        return false;
    }

    // The controls each form of a document owns outside its own element: those with a form
    // attribute naming it, and those the parser gave it when the markup closed the form early
    // (a form inside a table row). One pass over the document's controls.
    var LISTED = 'button,fieldset,input:not([type=image]),object,output,select,textarea';
    var formElements = getter(HTMLFormElement.prototype, 'elements');
    function ownedElsewhere(d, forms, hosts) {
        var owned = new Map();
        // Without form attributes, a form whose listed elements are all its own descendants
        // owns nothing elsewhere: mostly every form, told by a few counts each.
        var all = !hosts.length && documentQuery.call(d, '[form]').length === 0;
        for (var f = 0; f < forms.length && all; f++) {
            var listed = get(formElements, forms[f]);
            all = listed.length === query(forms[f], LISTED).length &&
                query(forms[f], 'input[type=image]').length === 0;
        }
        if (all) return owned;
        var controls = documentQuery.call(d, 'input,select,textarea,button');
        for (var k = 0; k < controls.length; k++) {
            var c = controls[k];
            var form = c.form;
            if (!form || nodeContains.call(form, c) || contains(form, c)) continue;
            if (!owned.has(form)) owned.set(form, []);
            owned.get(form).push(c);
        }
        return owned;
    }

    function withOwned(list, owned) {
        if (!owned.length) return list;
        var all = list.map(function (r) { return table[r]; });
        for (var k = 0; k < owned.length; k++) if (all.indexOf(owned[k]) < 0) all.push(owned[k]);
        all.sort(inOrder);
        return all.map(ref);
    }

    function composedParent(el) {
        var p = get(G.parentElement, el);
        if (p) return p;
        var root = el.getRootNode();
        return root && root.host ? root.host : null;
    }

    function contains(container, el) {
        for (var e = el; e; e = composedParent(e)) if (e === container) return true;
        return false;
    }

    function formOwner(el) {
        var f = el.form;
        return f === undefined ? closest.call(el, 'form') : f;
    }

    // A login without a <form>: the inputs outside any form, with the controls near them,
    // as one implicit form. Its place is the smallest part of the page that holds the loose
    // password field (or, without one, the loose text field) and the text field before it,
    // widened a few levels until it holds something to press.
    function implicitForm(d, body, hosts) {
        var inputs = deep(body, 'input', [], hosts);
        var password = null;
        var texts = [];
        for (var k = 0; k < inputs.length; k++) {
            var input = inputs[k];
            if (get(G.inputForm, input) || !shown(input)) continue;
            if (input.type === 'password') {
                if (!password) password = input;
            } else if ((input.type === 'text' || TEXT_LIKE[input.type]) && !password) {
                texts.push(input);
            }
        }
        var anchor = password || texts[texts.length - 1];
        if (!anchor) return null;
        var container = anchor;
        var partner = password && texts.length ? texts[texts.length - 1] : null;
        while (container && partner && !contains(container, partner)) container = composedParent(container);
        if (!container) return null;
        for (var level = 0; level < 6 && container !== body; level++) {
            if (container !== anchor && query(container, 'button,input[type=submit],input[type=button],input[type=image],[role=button],a').length)
                break;
            var up = composedParent(container);
            if (!up) break;
            container = up;
        }
        var members = interesting(container, true, undefined).filter(function (r) {
            var el = table[r];
            return !formOwner(el);
        });
        return { el: ref(container), fe: members };
    }

    function snapDocument(d) {
        var body = get(G.docBody, d);
        var hosts = body ? shadowHosts(body) : [];
        if (body) gatherLabels(body, hosts);
        var elsewhere = ownedElsewhere(d, get(G.docForms, d), hosts);
        var withText = body ? needsTextControls(d, hosts) : false;
        var o = {
            u: get(G.docUrl, d),
            dm: get(G.docDomain, d) || '',
            ti: get(G.docTitle, d) || '',
            ct: get(G.docType, d) || '',
            b: body ? 1 : 0,
            // Whether the body holds anything: its markup is not needed, and costly to send.
            bc: body && get(G.firstChild, body) ? 1 : 0,
            all: body ? interesting(body, withText, hosts) : [],
            forms: [],
            links: [],
            images: [],
            scripts: [],
            frames: []
        };
        var forms = get(G.docForms, d);
        var formList = [];
        for (var f = 0; f < forms.length; f++) formList.push(forms[f]);
        // Forms inside shadow roots are not among document.forms.
        if (hosts.length) {
            var deepForms = deep(body, 'form', [], hosts);
            if (deepForms.length !== formList.length) formList = deepForms;
        }
        for (var g = 0; g < formList.length; g++) {
            var form = formList[g];
            var fr = ref(form);
            var owned = elsewhere.get(form) || [];
            var hasPassword = query(form, 'input[type=password]').length > 0;
            for (var h = 0; h < owned.length && !hasPassword; h++) hasPassword = owned[h].type === 'password';
            // The shadow hosts inside the form, from those of the document: looking for them
            // again costs a pass over the form's elements.
            var formHosts = form.getRootNode() === d ? hosts.filter(function (host) { return contains(form, host); })
                                                     : undefined;
            var inner = formHosts && !formHosts.length && !(withText && hasPassword) ? inAll(form, o.all) : null;
            var members = withOwned(inner || interesting(form, withText && hasPassword, formHosts), owned);
            els[fr].fe = members;
            if (!hasPassword) {
                var fields = 0;
                for (var x = 0; x < members.length; x++) if (els[members[x]].ty === 'text') fields++;
                if (fields > MAX_FIELDS) for (var y = 0; y < members.length; y++) noLook.add(members[y]);
            }
            o.forms.push(fr);
        }
        if (body) {
            var loose = implicitForm(d, body, hosts);
            if (loose) o.ifm = loose;
        }
        var links = get(G.docLinks, d);
        for (var l = 0; l < links.length; l++) o.links.push(ref(links[l]));
        var images = get(G.docImages, d);
        for (var m = 0; m < images.length; m++) o.images.push(ref(images[m]));
        var scripts = get(G.docScripts, d);
        for (var s = 0; s < scripts.length; s++) o.scripts.push(get(G.innerHTML, scripts[s]));
        var frames = documentQuery.call(d, 'frame,iframe');
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
    for (var c = 0; c < toLook.length; c++)
        if (!noLook.has(toLook[c]) && !shown(table[toLook[c]])) els[toLook[c]].hid = 1;
    // The fields a person could fill, as the page watch counts them: what it compares the page
    // with, so that a form built between this snapshot and the watch is not missed.
    var passwords = 0;
    var textFields = 0;
    for (var a = 0; a < doc.all.length; a++) {
        var d = els[doc.all[a]];
        if (d.t !== 'INPUT' || d.hid || d.dis) continue;
        if (d.ty === 'password') passwords++;
        else if (d.ty === 'text') textFields++;
    }
    // With fields not judged, the watch counts for itself.
    window.__bgPage = { gen: gen, table: table, fields: noLook.size ? null : passwords + '/' + textFields };
    var json = JSON.stringify({ gen: gen, els: els, texts: texts, doc: doc });
    return 'BGSNAP ' + gen + ' ' + (performance.now() - t0).toFixed(3) + '\n' + json;
})
