"""The bulk of a real site's page around its login form, generated when a page is served.

A page asks for it with a comment directive, <!--#kind N-->, which the server replaces with
static markup (not script-built: a saved page holds it as plain HTML). The same page always gets
the same markup: the text is drawn from a generator seeded with the page's slug and the directive.

  nav N     header mega menu with about N links in hidden panels, and an account menu
  footer N  footer link columns, social icons and the legal line, about N links
  cards N   N product or article cards with images, prices and "Add to basket" buttons
  text N    N paragraphs of article text with inline links
  style N   an inline style block of N rules
  script N  an inline script "bundle" of N modules (registers listeners, does nothing visible)
  json N    an inline JSON state blob of N entries
  sprite N  a hidden inline SVG sprite of N symbols
"""

import json
import random
import re

WORDS = ("amber basin birch cobalt copper dune ember fable fern flint glade harbor hazel heron ivory "
         "juniper kestrel lantern linen maple meadow moss nectar oak orchard pebble pine quarry quill "
         "raven reed ridge saffron sage shale slate sparrow spruce thistle timber tulip umber velvet "
         "willow wren yarrow zephyr").split()
SECTIONS = ("Home & Garden", "Kitchen", "Outdoor", "Lighting", "Storage", "Textiles", "Tools", "Kids",
            "Office", "Bathroom", "Seasonal", "Gifts", "Pets", "Travel", "Wellbeing", "Sale")
VERBS = ("Shop", "Explore", "Discover", "Browse", "See all", "New in", "Bestsellers", "Offers")
DIRECTIVE = re.compile(r"<!--#(nav|footer|cards|text|style|script|json|sprite) (\d+)-->")


def _words(rng, n, cap=True):
    text = " ".join(rng.choice(WORDS) for _ in range(n))
    return text[:1].upper() + text[1:] if cap else text


def nav(rng, n):
    out = ['<nav class="mega" aria-label="Main"><ul class="mega__bar">']
    left = n
    while left > 0:
        section = rng.choice(SECTIONS)
        out.append(f'<li class="mega__item"><button type="button" class="mega__toggle" aria-expanded="false">'
                   f'{section}</button><div class="mega__panel" hidden><div class="mega__cols">')
        for _ in range(rng.randint(3, 5)):
            out.append(f'<div class="mega__col"><h4 class="mega__head">{rng.choice(VERBS)} {_words(rng, 1, False)}</h4><ul>')
            for _ in range(rng.randint(6, 12)):
                slug = "-".join(rng.choice(WORDS) for _ in range(2))
                out.append(f'<li><a class="mega__link" href="/c/{slug}">{_words(rng, 2)}</a></li>')
                left -= 1
            out.append("</ul></div>")
        out.append('</div><a class="mega__promo" href="/offers"><img alt="" loading="lazy" '
                   f'src="https://img.cdn-static.invalid/promo/{rng.randrange(10**6)}.jpg"><span>'
                   f'{_words(rng, 3)}</span></a></div></li>')
    out.append('<li class="mega__item mega__item--account"><button type="button" class="mega__toggle" '
               'aria-haspopup="menu">Account</button><ul class="mega__menu" hidden role="menu">'
               '<li role="none"><a role="menuitem" href="./">Sign in</a></li>'
               '<li role="none"><a role="menuitem" href="register">Create an account</a></li>'
               '<li role="none"><a role="menuitem" href="orders">Track an order</a></li>'
               '<li role="none"><a role="menuitem" href="help">Help centre</a></li></ul></li></ul></nav>')
    return "".join(out)


def footer(rng, n):
    out = ['<div class="foot__cols">']
    left = n
    while left > 0:
        out.append(f'<section class="foot__col"><h3>{_words(rng, 2)}</h3><ul>')
        for _ in range(rng.randint(5, 9)):
            out.append(f'<li><a href="/info/{rng.choice(WORDS)}-{rng.randrange(999)}">{_words(rng, rng.randint(1, 3))}</a></li>')
            left -= 1
        out.append("</ul></section>")
    out.append('</div><ul class="foot__social">')
    for name in ("Pictogram", "Chirp", "Tubeview", "Pinboard", "Facelist"):
        out.append(f'<li><a href="https://{name.lower()}.social.invalid/company" aria-label="{name}">'
                   '<svg width="20" height="20" viewBox="0 0 20 20" aria-hidden="true"><circle cx="10" cy="10" r="9"/>'
                   f'<path d="M{rng.randint(4, 8)} 6h6v8H6z"/></svg></a></li>')
    out.append(f'</ul><p class="foot__legal">&copy; 2024 {_words(rng, 2)} Ltd. Registered in England No. '
               f'{rng.randrange(10**7, 10**8)}. <a href="/privacy">Privacy</a> &middot; <a href="/cookies">Cookies</a>'
               ' &middot; <a href="/terms">Terms</a> &middot; <a href="/accessibility">Accessibility</a></p>')
    return "".join(out)


def cards(rng, n):
    out = ['<ul class="cards">']
    for _ in range(n):
        pid = rng.randrange(10**5, 10**6)
        price = f"{rng.randint(3, 240)}.{rng.choice(('00', '50', '99', '95'))}"
        out.append(f'<li class="card" data-sku="{pid}"><a class="card__link" href="/p/{pid}">'
                   f'<img class="card__img" alt="" width="160" height="120" loading="lazy" '
                   f'src="https://img.cdn-static.invalid/p/{pid}/160.webp" srcset="https://img.cdn-static.invalid/p/{pid}/320.webp 2x">'
                   f'<h3 class="card__title">{_words(rng, 3)}</h3></a><p class="card__meta"><span class="stars" '
                   f'aria-label="{rng.randint(3, 5)} out of 5">&#9733;&#9733;&#9733;&#9733;</span> '
                   f'<span>({rng.randint(2, 900)})</span></p><p class="card__price">&pound;{price}</p>'
                   f'<button type="button" class="card__add" data-sku="{pid}">Add to basket</button></li>')
    out.append("</ul>")
    return "".join(out)


def text(rng, n):
    out = []
    for _ in range(n):
        sentences = []
        for _ in range(rng.randint(3, 6)):
            s = _words(rng, rng.randint(6, 14))
            if rng.random() < 0.3:
                s += f' <a href="/read/{rng.choice(WORDS)}">{_words(rng, 2, False)}</a>'
            sentences.append(s + ".")
        out.append("<p>" + " ".join(sentences) + "</p>")
    return "".join(out)


def style(rng, n):
    rules = []
    for i in range(n):
        cls = f".{rng.choice(WORDS)}-{i:x}"
        rules.append(f"{cls}{{margin:{rng.randint(0, 24)}px {rng.randint(0, 24)}px;color:#{rng.randrange(16**6):06x};"
                     f"font-size:{rng.randint(11, 22)}px;transition:opacity .{rng.randint(1, 9)}s}}"
                     f"@media (min-width:{rng.choice((480, 768, 1024))}px){{{cls}{{padding:{rng.randint(0, 16)}px}}}}")
    return "<style>" + "".join(rules) + "</style>"


def script(rng, n):
    # A bundle as build tools emit it: a module table and a loader. The modules only register
    # passive listeners and count things; none of them touches a form.
    mods = []
    for i in range(n):
        name = f"{rng.choice(WORDS)}_{i}"
        kind = rng.randrange(3)
        if kind == 0:
            body = f"var c=0;document.addEventListener('scroll',function(){{c++}},{{passive:true}});e.{name}=function(){{return c}};"
        elif kind == 1:
            body = (f"e.{name}=function(a,b){{var r=[];for(var k in a)if(a.hasOwnProperty(k)&&a[k]!==b)r.push(k);"
                    f"return r.sort().join('{rng.choice(WORDS)}')}};")
        else:
            body = f"e.{name}={json.dumps(_words(rng, 4))}.split(' ').map(function(w){{return w.length}});"
        mods.append(f"{i}:function(e){{{body}}}")
    return ("<script>(function(m){var x={};for(var k in m)try{m[k](x)}catch(_){}window.__bundle=x})({"
            + ",".join(mods) + "});</script>")


def json_blob(rng, n):
    state = {"build": f"{rng.randrange(16**8):08x}", "locale": "en-GB", "features": {}, "i18n": {
        "signIn": "Sign in", "signOut": "Sign out", "createAccount": "Create account",
        "forgotPassword": "Forgot password?", "passwordHint": "At least 8 characters"}, "catalogue": []}
    for i in range(n):
        if i % 3 == 0:
            state["features"][f"{rng.choice(WORDS)}{i}"] = rng.random() < 0.5
        else:
            state["catalogue"].append({"id": rng.randrange(10**6), "title": _words(rng, 3),
                                       "price": rng.randint(100, 20000), "tags": [rng.choice(WORDS) for _ in range(3)]})
    return ('<script type="application/json" id="__app_state">'
            + json.dumps(state, separators=(",", ":")).replace("</", "<\\/") + "</script>")


def sprite(rng, n):
    out = ['<svg xmlns="http://www.w3.org/2000/svg" style="display:none" aria-hidden="true">']
    for i in range(n):
        out.append(f'<symbol id="i-{rng.choice(WORDS)}-{i}" viewBox="0 0 24 24"><path d="M{rng.randint(1, 9)} '
                   f'{rng.randint(1, 9)}l{rng.randint(2, 12)} {rng.randint(2, 12)}h{rng.randint(1, 8)}z"/></symbol>')
    out.append("</svg>")
    return "".join(out)


MAKERS = {"nav": nav, "footer": footer, "cards": cards, "text": text, "style": style, "script": script,
          "json": json_blob, "sprite": sprite}


def expand(slug, page_text):
    """The page with every directive replaced by its markup."""
    def replace(match):
        kind, n = match.group(1), int(match.group(2))
        return MAKERS[kind](random.Random(f"{slug}/{kind}/{n}/{match.start()}"), n)
    return DIRECTIVE.sub(replace, page_text)
