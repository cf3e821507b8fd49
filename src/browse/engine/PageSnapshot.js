// The page snapshot: a plain description of the document and its same-origin frames, read in
// the program's isolated world so the page's own scripts neither see nor disturb it.
// Called as (function)(generation, want), want holding what the program's rules look for:
//   control     the source of a regular expression for the texts of sign-in controls that are
//               neither buttons nor links
//   markup      words a sign-in control's markup holds
//   loginList   the texts a sign-in button may read (any part of it counts, as in the program)
//   logoutList  the same for a sign-out link
//   texts       texts of this page's Link (a link to follow after the login)
// Returns "BGSNAP <generation> <ms>\n" + JSON, where ms is the time spent here. The elements it
// describes are kept, in the same order, for the actions of that generation (window.__bgPage).
//
// Forms and the inputs outside any form are described whole. Elsewhere only what a rule can
// use is sent: frames, images, scripts that submit a form, and the buttons, links, lists and
// inputs whose words the rules look for; a form that can be no login (no password and more
// text fields than a login has) is sent without its members. So a page of many thousands of
// elements costs a few reads of each link and little else.
(function (gen, want) {
    'use strict';
    var t0 = performance.now();
    want = want || {};
    var controlWords = want.control;
    // Elements the login and page-load logic read; everything else is left out to keep the
    // snapshot small on large pages (the engine picks them out, in document order).
    var INTEREST = 'input,select,option,textarea,a,area,button,img,frame,iframe,[role=button]';
    // Input types a page uses for a user name: the algorithms see them as "text", as an engine
    // that did not know them would have.
    var TEXT_LIKE = { email: 1, tel: 1, number: 1 };
    var FILLED = { text: 1, password: 1 };
    var PRESSED = { submit: 1, image: 1, button: 1 };
    var CONTROL = controlWords ? new RegExp('^\\s*(' + controlWords + ')\\s*$', 'i') : null;
    function escaped(word) {
        return word.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
    }
    function words(list) {
        return list && list.length ? new RegExp(list.map(escaped).join('|'), 'i') : null;
    }
    // Texts compared without their white space, case or the punctuation the rules drop: a
    // wider test than the program's, which judges again what is sent.
    function bare(text) {
        return (text || '').replace(/[\s\u00a0,.:\-_!?]+/g, '').toLowerCase();
    }
    var MARKUP = words(want.markup);
    var LOGIN_LIST = bare(want.loginList);
    var LOGOUT_LIST = bare(want.logoutList);
    // A character that no part of the sign-out list has: most link texts have one.
    var NOT_LOGOUT = new RegExp('[^\\s\\u00a0,.:\\-_!?' + escaped(LOGOUT_LIST) + ']', 'i');
    var WANTED = (want.texts || []).filter(function (t) { return bare(t) !== ''; });
    var WANTED_BARE = WANTED.map(bare);
    var WANTED_LOWER = WANTED.map(function (t) { return t.toLowerCase(); });
    function isWanted(text) {
        if (!WANTED.length || !text) return false;
        return WANTED_BARE.indexOf(bare(text)) >= 0;
    }

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
                // A first child's markup is read by the rules; an image's only there.
                var c = els[o.fc];
                if (c && c.oh === undefined && c.t !== '#bad') c.oh = get(G.outerHTML, n);
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
    var labelled = new Set(); // documents whose labels are gathered
    var docHosts = new Map(); // shadow hosts of each document's body
    function gatherLabels(root, hosts) {
        var labels = deep(root, 'label', hosts);
        for (var k = 0; k < labels.length; k++) {
            var target = labels[k].control;
            if (!target) continue;
            var before = labelText.get(target) || '';
            if (before.length < 200) labelText.set(target, before + ' ' + get(G.textContent, labels[k]));
        }
    }

    function label(el, o) {
        var d = el.ownerDocument;
        if (d && !labelled.has(d)) {
            labelled.add(d);
            var body = get(G.docBody, d);
            if (body) gatherLabels(body, docHosts.get(d));
        }
        var out = squeeze(labelText.get(el) || '');
        if (!out) out = squeeze(getAttribute.call(el, 'aria-label') || getAttribute.call(el, 'title') || '');
        if (out) o.lb = out.slice(0, 200);
    }

    // Whether a control is shown is judged later, and only where a login could be: outside any
    // form, or in a form that asks for a password or has few fields (layout and style cost
    // most of a large page's snapshot).
    var toLook = [];
    var MAX_FIELDS = 5;
    var summaries = 0; // forms sent without their members
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
    // Only custom elements and these can hold one: they are asked through the engine's lists
    // by tag (far cheaper than a selector), the custom elements found among the elements of
    // no common tag name.
    var HOST_TAGS = ['div', 'span', 'section', 'p', 'article', 'aside', 'header', 'footer', 'main', 'nav', 'blockquote',
                     'h1', 'h2', 'h3', 'h4', 'h5', 'h6'];
    var UNCOMMON = ':not(div,span,a,li,p,td,tr,input,option,img,b,i,br,button,code,col,dd,dl,dt,em,form,hr,iframe,' +
        'label,link,meta,ol,optgroup,path,pre,script,select,small,strong,style,svg,table,tbody,textarea,th,thead,ul,' +
        'area,section,article,aside,blockquote,footer,header,main,nav,h1,h2,h3,h4,h5,h6,g,use,font,center,nobr,u,s)';
    var byTag = Element.prototype.getElementsByTagName;
    var docByTag = Document.prototype.getElementsByTagName;
    function shadowHosts(root) {
        var hosts = [];
        var shadow = G.shadowRoot;
        var rest = query(root, UNCOMMON);
        for (var k = 0; k < rest.length; k++) if (shadow.call(rest[k])) hosts.push(rest[k]);
        var nodeType = get(G.nodeType, root);
        for (var t = 0; t < HOST_TAGS.length; t++) {
            var list = nodeType === 1 ? byTag.call(root, HOST_TAGS[t])
                                      : nodeType === 9 ? docByTag.call(root, HOST_TAGS[t]) : query(root, HOST_TAGS[t]);
            for (var m = 0; m < list.length; m++) if (shadow.call(list[m])) hosts.push(list[m]);
        }
        return hosts.length > 1 ? hosts.sort(flatOrder) : hosts;
    }

    // The shadow hosts from the outermost down to the node, then the node.
    function hostChain(node) {
        var chain = [node];
        for (var root = node.getRootNode(); root && root.host; root = root.host.getRootNode()) chain.push(root.host);
        return chain.reverse();
    }

    // Document order as a reader meets it: a shadow root's content comes right after its host.
    function inOrder(a, b) {
        if (a === b) return 0;
        var ca = hostChain(a);
        var cb = hostChain(b);
        var k = 0;
        while (k < ca.length - 1 && k < cb.length - 1 && ca[k] === cb[k]) k++;
        if (ca[k] === cb[k]) return ca.length < cb.length ? -1 : 1;
        return ca[k].compareDocumentPosition(cb[k]) & Node.DOCUMENT_POSITION_FOLLOWING ? -1 : 1;
    }
    function flatOrder(a, b) {
        if (a === b) return 0;
        return a.compareDocumentPosition(b) & Node.DOCUMENT_POSITION_FOLLOWING ? -1 : 1;
    }

    // The elements matching selector below root and in the shadow roots there, in order.
    // `hosts`: the shadow hosts below root, when known.
    function deep(root, selector, hosts) {
        if (!hosts) hosts = shadowHosts(root);
        var list = query(root, selector);
        var out = new Array(list.length);
        for (var k = 0; k < list.length; k++) out[k] = list[k];
        if (!hosts.length) return out;
        for (var h = 0; h < hosts.length; h++) {
            var inner = deep(get(G.shadowRoot, hosts[h]), selector);
            for (var m = 0; m < inner.length; m++) out.push(inner[m]);
        }
        return out.sort(inOrder);
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

    // References of the interesting elements below root, with the text controls merged in.
    function interesting(root, withTextControls, hosts) {
        var list = deep(root, INTEREST, hosts);
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

    // The listed controls a form owns outside its own element: those with a form attribute
    // naming it, and those the parser gave it when the markup closed the form early (a form
    // inside a table row).
    var formElements = getter(HTMLFormElement.prototype, 'elements');
    function ownedOutside(form) {
        var listed = get(formElements, form);
        var out = [];
        for (var k = 0; k < listed.length; k++) {
            var c = listed[k];
            if (!nodeContains.call(form, c) && !contains(form, c)) out.push(c);
        }
        return out;
    }

    // Whether a form has at most as many text fields as a login (its listed controls counted
    // until there are more).
    function fewFields(form) {
        var listed = get(formElements, form);
        if (listed.length <= MAX_FIELDS) return true;
        var fields = 0;
        for (var k = 0; k < listed.length; k++) {
            var c = listed[k];
            if (String(get(G.tagName, c)).toUpperCase() !== 'INPUT') continue;
            var type = c.type;
            if ((type === 'text' || TEXT_LIKE[type]) && ++fields > MAX_FIELDS) return false;
        }
        return true;
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
    function implicitForm(body, loose) {
        var password = null;
        var texts = [];
        for (var k = 0; k < loose.length; k++) {
            var input = loose[k];
            if (!shown(input)) continue;
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

    var LINKS = 'a[href],area[href]';
    // The links, buttons, lists and inputs outside the forms a rule can use, given what it
    // looks for: a sign-out link (its text any part of the sign-out list; an empty one
    // counts), a sign-in link or a link whose first child is a sign-in image, a button whose
    // text is any part of the sign-in list, and whatever reads as one of the Link's texts.
    function keptLink(a) {
        var text = get(G.textContent, a);
        if (text.length <= 200 && !NOT_LOGOUT.test(text) && LOGOUT_LIST.indexOf(bare(text)) >= 0) return true;
        if (MARKUP && MARKUP.test(text)) return true;
        if (CONTROL && text.length <= 40 && CONTROL.test(text)) return true;
        var first = get(G.firstElement, a);
        if (first && MARKUP && MARKUP.test(get(G.outerHTML, first))) return true;
        if (!WANTED.length) return false;
        if (isWanted(text) || (first && isWanted(getAttribute.call(first, 'alt')))) return true;
        var href = (a.href || '').toLowerCase();
        for (var k = 0; k < WANTED_LOWER.length; k++) if (href.indexOf(WANTED_LOWER[k]) >= 0) return true;
        return false;
    }

    // The elements of one tag below body, shadow roots included.
    function tagged(body, tag, hosts) {
        if (hosts.length) return deep(body, tag, hosts);
        return byTag.call(body, tag);
    }

    function pageWide(body, hosts, links, frames, out) {
        for (var f = 0; f < frames.length; f++) out.push(frames[f]);
        var buttons = tagged(body, 'button', hosts);
        for (var b = 0; b < buttons.length; b++) {
            var button = buttons[b];
            var text = get(G.firstElement, button) ? get(G.innerText, button) : get(G.textContent, button);
            if (text.length <= 200 && LOGIN_LIST.indexOf(bare(text)) >= 0) out.push(button);
        }
        for (var l = 0; l < links.length; l++) if (keptLink(links[l])) out.push(links[l]);
        if (!WANTED.length) return;
        // Anchors without an address, the buttons of a form and lists a Link's text can name.
        var anchors = query(body, 'a:not([href])');
        for (var a = 0; a < anchors.length; a++) if (keptLink(anchors[a])) out.push(anchors[a]);
        var inputs = deep(body, 'input[type=submit i],input[type=button i],input[type=image i]', hosts);
        for (var k = 0; k < inputs.length; k++) {
            var input = inputs[k];
            if (isWanted(input.value) || isWanted(getAttribute.call(input, 'alt'))) out.push(input);
        }
        var options = tagged(body, 'option', hosts);
        for (var o = 0; o < options.length; o++) {
            var list = isWanted(options[o].text) ? closest.call(options[o], 'select') : null;
            if (list) out.push(list);
        }
    }

    function snapDocument(d) {
        var body = get(G.docBody, d);
        var hosts = body ? shadowHosts(body) : [];
        docHosts.set(d, hosts);
        var o = {
            u: get(G.docUrl, d),
            dm: get(G.docDomain, d) || '',
            ti: get(G.docTitle, d) || '',
            ct: get(G.docType, d) || '',
            b: body ? 1 : 0,
            // Whether the body holds anything: its markup is not needed, and costly to send.
            bc: body && get(G.firstChild, body) ? 1 : 0,
            all: [],
            forms: [],
            links: [],
            images: [],
            scripts: [],
            frames: []
        };
        // The password fields and the inputs outside any form, in one pass.
        var inputs = body ? deep(body, 'input[type=password i],input:not(form *)', hosts) : [];
        var withPassword = new Set();
        var outsideImages = new Map();
        var loose = [];
        var anyPassword = false;
        var looseText = false;
        for (var i = 0; i < inputs.length; i++) {
            var input = inputs[i];
            var owner = get(G.inputForm, input);
            var type = input.type;
            if (type === 'password') anyPassword = true;
            if (owner) {
                if (type === 'password') withPassword.add(owner);
                // An image button a form attribute ties to a form elsewhere: not among the
                // form's listed elements.
                if (type === 'image' && !nodeContains.call(owner, input)) {
                    if (!outsideImages.has(owner)) outsideImages.set(owner, []);
                    outsideImages.get(owner).push(input);
                }
            } else {
                loose.push(input);
                if (type === 'text' || TEXT_LIKE[type]) looseText = true;
            }
        }
        // Text controls are looked for only where a page asks for a password, or for text
        // outside any form (a login without a <form>).
        var withText = body ? hosts.length > 0 || anyPassword || looseText : false;
        var chosen = [];
        var forms = get(G.docForms, d);
        var formList = [];
        for (var f = 0; f < forms.length; f++) formList.push(forms[f]);
        // Forms inside shadow roots are not among document.forms.
        if (hosts.length) {
            var deepForms = deep(body, 'form', hosts);
            if (deepForms.length !== formList.length) formList = deepForms;
        }
        for (var g = 0; g < formList.length; g++) {
            var form = formList[g];
            var fr = ref(form);
            var hasPassword = withPassword.has(form);
            o.forms.push(fr);
            if (!hasPassword && !fewFields(form)) {
                els[fr].fe = [];
                els[fr].sum = 1;
                summaries++;
                continue;
            }
            // The shadow hosts inside the form, from those of the document.
            var formHosts = form.getRootNode() === d ? hosts.filter(function (host) { return contains(form, host); })
                                                     : undefined;
            var members = withOwned(interesting(form, withText && hasPassword, formHosts),
                                    ownedOutside(form).concat(outsideImages.get(form) || []));
            els[fr].fe = members;
            for (var m = 0; m < members.length; m++) chosen.push(table[members[m]]);
        }
        if (body) {
            var implicit = implicitForm(body, loose);
            if (implicit) {
                o.ifm = implicit;
                for (var n = 0; n < implicit.fe.length; n++) chosen.push(table[implicit.fe[n]]);
            }
        }
        for (var x = 0; x < loose.length; x++) chosen.push(loose[x]);
        var links = get(G.docLinks, d);
        // The frames of a frameset stand outside any body.
        var frames = docByTag.call(d, 'frameset').length ? documentQuery.call(d, 'frame,iframe')
                                                               : body ? tagged(body, 'iframe', hosts) : [];
        if (body) pageWide(body, hosts, hosts.length ? deep(body, LINKS, hosts) : links, frames, chosen);
        // One reference for each, in document order.
        var seen = new Set();
        var all = [];
        for (var c = 0; c < chosen.length; c++) {
            if (seen.has(chosen[c])) continue;
            seen.add(chosen[c]);
            all.push(chosen[c]);
        }
        all.sort(hosts.length ? inOrder : flatOrder);
        for (var y = 0; y < all.length; y++) o.all.push(ref(all[y]));
        // The links among them that document.links lists (not those of shadow roots).
        for (var l = 0; l < all.length; l++) {
            var tag = String(get(G.tagName, all[l])).toUpperCase();
            if ((tag === 'A' || tag === 'AREA') && getAttribute.call(all[l], 'href') !== null && all[l].getRootNode() === d)
                o.links.push(refs.get(all[l]));
        }
        var images = get(G.docImages, d);
        for (var im = 0; im < images.length; im++) o.images.push(ref(images[im]));
        // A script matters only for the form it submits.
        var scripts = get(G.docScripts, d);
        for (var s = 0; s < scripts.length; s++) {
            var source = get(G.textContent, scripts[s]);
            if (/\.submit/i.test(source)) o.scripts.push(source);
        }
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
        if (!shown(table[toLook[c]])) els[toLook[c]].hid = 1;
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
    // With forms sent without their fields, the watch counts for itself.
    window.__bgPage = { gen: gen, table: table, fields: summaries ? null : passwords + '/' + textFields };
    var json = JSON.stringify({ gen: gen, els: els, texts: texts, doc: doc });
    return 'BGSNAP ' + gen + ' ' + (performance.now() - t0).toFixed(3) + '\n' + json;
})
