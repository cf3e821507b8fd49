"""The login corpus's web server: serves the pages of tests/corpus/pages*.json on 127.0.0.1 and records every form
or script submission it receives, per page, so that a run can be judged afterwards.

Addresses: /p/<slug>/ serves <folder>/<slug>.html, /p/<slug>/<sub> serves <folder>/<slug>.<sub>.html
(or <folder>/<slug>.<sub> as it is), where <folder> is the page's set's (pages/ or pages2/).
/slow/<ms>/<name> answers an empty script, style sheet or image after <ms> milliseconds (a slow
third-party host). Any other request under /p/<slug>/ that is a POST, or a GET
with a query, is a submission to the endpoint <sub>: it is recorded and answered as a site would
(see Corpus.answer); /received lists what came in. The same pages are served on a second origin, http://localhost:<port>, which
is another site for the browser (another registrable domain), for the cross-site cases.

Run on its own for browsing the pages by hand: python3 corpus_server.py [--port N] [--set 1|2|all]
"""

import email.parser
import email.policy
import html
import json
import os
import secrets
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

import clutter

HERE = os.path.dirname(os.path.abspath(__file__))
PAGES = os.path.join(HERE, "pages")
SHARED = os.path.join(HERE, "shared")

ASSET_TYPES = (".css", ".js", ".png", ".jpg", ".gif", ".webp", ".svg", ".ico", ".woff2", ".json", ".map")

OWN_HOST = "127.0.0.1"
OTHER_HOST = "localhost"


SETS = {"1": "pages.json", "2": "pages2.json"}


def load_manifest(path=os.path.join(HERE, "pages.json")):
    """The pages in order, each with its Link's credentials filled in and its folder.

    A manifest may name its folder and the patterns of its Links' user names and passwords, so
    that sets run together never share credentials."""
    with open(path, encoding="utf-8") as f:
        manifest = json.load(f)
    pages = manifest["pages"]
    folder = os.path.join(HERE, manifest.get("folder", "pages"))
    for n, page in enumerate(pages, start=1):
        page.setdefault("user", manifest.get("user", "kit%02d@mail.test") % n)
        page["password"] = manifest.get("password", "Tq%02d#vell") % n
        page.setdefault("login_endpoints", ["session"])
        page.setdefault("fields", {})
        page["folder"] = folder
    return pages


def load_sets(which):
    """The pages of set "1", "2" or "all"."""
    names = list(SETS.values()) if which == "all" else [SETS[which]]
    pages = [p for name in names for p in load_manifest(os.path.join(HERE, name))]
    slugs = [p["slug"] for p in pages]
    if len(set(slugs)) != len(slugs):
        raise ValueError("a page slug occurs in more than one set")
    return pages


def flatten(value, prefix=""):
    """JSON bodies as flat name -> [text] pairs (nested names joined with '.')."""
    out = {}
    if isinstance(value, dict):
        for k, v in value.items():
            for name, texts in flatten(v, f"{prefix}.{k}" if prefix else str(k)).items():
                out.setdefault(name, []).extend(texts)
    elif isinstance(value, list):
        for v in value:
            for name, texts in flatten(v, prefix).items():
                out.setdefault(name, []).extend(texts)
    elif value is not None:
        out[prefix] = [value if isinstance(value, str) else json.dumps(value)]
    return out


def parse_body(content_type, body):
    """Fields and a readable text of a request body, whatever way the page sent it."""
    text = body.decode("utf-8", "replace")
    ctype = (content_type or "").split(";")[0].strip().lower()
    fields = {}
    if ctype == "application/x-www-form-urlencoded":
        fields = urllib.parse.parse_qs(text, keep_blank_values=True)
        text = urllib.parse.unquote_plus(text)
    elif ctype == "application/json" or text.lstrip().startswith(("{", "[")):
        try:
            fields = flatten(json.loads(text))
        except ValueError:
            pass
    elif ctype == "multipart/form-data":
        message = email.parser.BytesParser(policy=email.policy.HTTP).parsebytes(
            b"Content-Type: " + content_type.encode() + b"\r\n\r\n" + body)
        for part in message.iter_parts():
            name = part.get_param("name", header="content-disposition")
            if name is not None:
                fields.setdefault(name, []).append(part.get_content().strip() if part.get_content_maintype() == "text" else "")
    elif ctype == "text/plain":
        for line in text.splitlines():
            name, _, value = line.partition("=")
            fields.setdefault(name, []).append(value)
    return fields, text


def page_doc(title, body):
    return ("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%s</title>"
            "<link rel=\"stylesheet\" href=\"/shared/base.css\"></head><body>%s</body></html>" % (title, body))


class Corpus:
    """What the server knows: the manifest, the submissions received and the page visits."""

    def __init__(self, pages, port):
        self.pages = {p["slug"]: p for p in pages}
        self.port = port
        self.lock = threading.Lock()
        self.submissions = []  # dicts: time, host, method, slug, endpoint, fields, text
        self.visits = {}  # (slug, host) -> count
        self.tokens = {}  # slug -> set of CSRF tokens issued
        self.identified = {}  # slug -> last user name a first step received
        self.started = time.time()
        self.last_request = {}  # slug ("" for none) -> time of its latest request, from started

    def origin(self, host):
        return f"http://{host}:{self.port}"

    def record(self, entry):
        with self.lock:
            entry["time"] = round(time.time() - self.started, 1)
            self.submissions.append(entry)

    def visit(self, slug, host):
        with self.lock:
            self.visits[(slug, host)] = self.visits.get((slug, host), 0) + 1

    def touch(self, slug):
        with self.lock:
            self.last_request[slug] = round(time.time() - self.started, 1)

    def activity(self):
        with self.lock:
            return dict(self.last_request)

    def snapshot(self):
        with self.lock:
            return list(self.submissions), dict(self.visits)

    def expand(self, slug, text):
        """Per-request values in a page: a fresh CSRF token, the user of the first step, the other origin."""
        if "{{CSRF}}" in text:
            token = secrets.token_hex(12)
            with self.lock:
                self.tokens.setdefault(slug, set()).add(token)
            text = text.replace("{{CSRF}}", token)
        with self.lock:
            ident = self.identified.get(slug, "")
        text = clutter.expand(slug, text)
        return (text.replace("{{IDENT}}", html.escape(ident))
                    .replace("{{OTHER}}", self.origin(OTHER_HOST))
                    .replace("{{OWN}}", self.origin(OWN_HOST)))

    def expected(self, page, name):
        value = page["fields"][name]
        return value.replace("$USER", page["user"]).replace("$PASS", page["password"])

    def matches(self, page, name, got):
        want = page["fields"][name]
        if want == "$CSRF":
            with self.lock:
                return got in self.tokens.get(page["slug"], set())
        return got == self.expected(page, name)

    def login_fields(self, page, submissions):
        """Union of the fields a page's login endpoints received on its own site."""
        got = {}
        for s in submissions:
            if s["slug"] == page["slug"] and s["host"] == OWN_HOST and s["endpoint"] in page["login_endpoints"]:
                for name, values in s["fields"].items():
                    got.setdefault(name, []).extend(values)
        return got

    def logged_in(self, page, submissions):
        if page.get("expect") != "login":
            return False
        got = self.login_fields(page, submissions)
        return all(any(self.matches(page, name, v) for v in got.get(name, [])) for name in page["fields"])

    def answer(self, slug, endpoint, fields, wants_json):
        """(status, content type, body, location) for a submission."""
        page = self.pages.get(slug, {})
        if endpoint == "identify" and "identify" in page.get("login_endpoints", []):
            # The field the page names for the user, else the first filled one.
            named = [n for n, want in page.get("fields", {}).items() if want == "$USER" and fields.get(n)]
            user = fields[named[0]][0] if named else next((v[0] for v in fields.values() if v and v[0]), "")
            with self.lock:
                self.identified[slug] = user
            if wants_json:
                return 200, "application/json", json.dumps({"ok": True, "next": "password"}), None
            return 303, None, "", "password"
        if endpoint in page.get("login_endpoints", []):
            ok = self.logged_in(page, self.snapshot()[0])
            if wants_json:
                body = {"ok": True, "redirect": "home"} if ok else {"ok": False, "error": "Incorrect email or password."}
                return (200 if ok else 401), "application/json", json.dumps(body), None
            if ok:
                return 303, None, "", "home"
            return 200, "text/html", page_doc("Sign-in failed", "<h1>Sign-in failed</h1><p>The user name or "
                                              "password is incorrect.</p><p><a href=\"./\">Try again</a></p>"), None
        if wants_json:
            return 200, "application/json", json.dumps({"ok": True}), None
        return 200, "text/html", page_doc("Thank you", "<h1>Thank you</h1><p>We have received your request.</p>"
                                          "<p><a href=\"./\">Back</a></p>"), None


HOME = ("<header><b>Account</b> <nav><a href=\"home\">Overview</a> <a href=\"home#settings\">Settings</a> "
        "<a href=\"./\">Sign out</a></nav></header><main><h1>Welcome back</h1>"
        "<p>You are signed in.</p><ul><li><a href=\"home#orders\">Recent orders</a></li>"
        "<li><a href=\"home#messages\">Messages</a></li></ul></main>")


def make_handler(corpus):
    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def host(self):
            return (self.headers.get("Host") or "").rsplit(":", 1)[0]

        def send(self, status, ctype=None, body="", location=None, extra=()):
            data = body.encode("utf-8") if isinstance(body, str) else body
            self.send_response(status)
            if ctype:
                self.send_header("Content-Type", ctype + ("; charset=utf-8" if ctype.startswith("text/") or ctype.endswith("json") else ""))
            if location:
                self.send_header("Location", location)
            for name, value in extra:
                self.send_header(name, value)
            self.send_header("Cache-Control", "no-store")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(data)

        def serve_file(self, path, slug=None):
            ctype = {".html": "text/html", ".js": "text/javascript", ".css": "text/css",
                     ".json": "application/json", ".svg": "image/svg+xml"}.get(os.path.splitext(path)[1], "application/octet-stream")
            with open(path, "rb") as f:
                data = f.read()
            if slug and ctype in ("text/html", "application/json", "text/javascript"):
                data = corpus.expand(slug, data.decode("utf-8")).encode("utf-8")
            self.send(200, ctype, data)

        def page_file(self, slug, sub):
            if sub.startswith(".") or ".." in sub:
                return None
            if "/" in sub:
                # A saved page keeps its assets in a folder beside it: <slug>_files/<name>.
                folder, _, name = sub.partition("/")
                if folder != f"{slug}_files" or "/" in name:
                    return None
                names = [os.path.join(folder, name)]
            else:
                names = [f"{slug}.html"] if sub in ("", "index.html") else [f"{slug}.{sub}.html", f"{slug}.{sub}"]
            for name in names:
                path = os.path.join(corpus.pages[slug].get("folder", PAGES), name)
                if os.path.isfile(path):
                    return path
            return None

        def record(self, slug, endpoint, query, body):
            fields = urllib.parse.parse_qs(query, keep_blank_values=True)
            text = urllib.parse.unquote_plus(query)
            if body:
                more, body_text = parse_body(self.headers.get("Content-Type"), body)
                for name, values in more.items():
                    fields.setdefault(name, []).extend(values)
                text = (text + "\n" + body_text).strip()
            corpus.record({"host": self.host(), "method": self.command, "slug": slug, "endpoint": endpoint,
                           "fields": fields, "text": text})
            return fields

        def route(self):
            url = urllib.parse.urlsplit(self.path)
            parts = url.path.split("/")
            if url.path == "/":
                items = "".join(f"<li><a href=\"/p/{s}/\">{s}</a> ({p.get('expect')}: {html.escape(p.get('pattern', ''))})</li>"
                                for s, p in corpus.pages.items())
                return self.send(200, "text/html", page_doc("Login corpus", f"<ul>{items}</ul>"))
            if url.path == "/received":
                submissions = corpus.snapshot()[0]
                done = [s for s, p in corpus.pages.items() if corpus.logged_in(p, submissions)]
                return self.send(200, "application/json", json.dumps({"logged_in": done, "submissions": submissions}))
            referer = urllib.parse.urlsplit(self.headers.get("Referer") or "").path.split("/")
            corpus.touch(parts[2] if len(parts) > 2 and parts[1] == "p" else
                         referer[2] if len(referer) > 2 and referer[1] == "p" else "")
            if len(parts) == 4 and parts[1] == "slow" and parts[2].isdigit() and self.command in ("GET", "HEAD"):
                time.sleep(min(int(parts[2]), 30000) / 1000)
                ctype = {".js": "text/javascript", ".css": "text/css", ".gif": "image/gif"}.get(
                    os.path.splitext(parts[3])[1], "application/octet-stream")
                return self.send(200, ctype, "")
            if len(parts) == 3 and parts[1] == "shared" and self.command in ("GET", "HEAD"):
                path = os.path.join(SHARED, parts[2])
                if parts[2] and not parts[2].startswith(".") and os.path.isfile(path):
                    return self.serve_file(path)
                return self.send(404, "text/plain", "not found")
            length = int(self.headers.get("Content-Length") or 0)
            body = self.rfile.read(length) if length else b""
            if len(parts) < 4 or parts[1] != "p" or parts[2] not in corpus.pages:
                if self.command == "POST" or url.query:
                    # Sent somewhere outside the pages' folders: the page that sent it says whose it is.
                    slug = referer[2] if len(referer) > 2 and referer[1] == "p" else ""
                    self.record(slug, url.path, url.query, body)
                return self.send(404, "text/plain", "not found")
            slug, sub = parts[2], "/".join(parts[3:])
            page = corpus.pages[slug]
            if self.command in ("GET", "HEAD") and not url.query:
                if sub == "" and page.get("redirect_other") and self.host() == OWN_HOST:
                    return self.send(302, location=corpus.origin(OTHER_HOST) + f"/p/{slug}/" + page["redirect_other"])
                path = self.page_file(slug, sub)
                if path:
                    corpus.visit(slug, self.host())
                    return self.serve_file(path, slug)
                if sub in ("home", "dashboard"):
                    corpus.visit(slug, self.host())
                    return self.send(200, "text/html", page_doc("Your account", HOME))
                if sub in ("favicon.ico",) or os.path.splitext(sub)[1] in ASSET_TYPES:
                    return self.send(404, "text/plain", "not found")
            fields = self.record(slug, sub, url.query, body)
            wants_json = ("json" in (self.headers.get("Accept") or "") or
                          "json" in (self.headers.get("Content-Type") or "") or
                          self.headers.get("X-Requested-With") is not None or
                          self.headers.get("Sec-Fetch-Mode", "navigate") != "navigate")
            status, ctype, answer, location = corpus.answer(slug, sub, fields, wants_json)
            self.send(status, ctype, answer, location)

        def do_GET(self):
            self.route()

        def do_HEAD(self):
            self.route()

        def do_POST(self):
            self.route()

        def do_PUT(self):
            self.route()

    return Handler


class _QuietServer(ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A browser that drops a connection (a pane closing, the program ending) is no fault.
        if not isinstance(sys.exc_info()[1], (ConnectionError, TimeoutError)):
            super().handle_error(request, client_address)


class Server:
    """The corpus served on 127.0.0.1 and localhost (one port, both loopback names) in a thread."""

    def __init__(self, pages, port=0):
        self.httpd = _QuietServer(("127.0.0.1", port), None)
        self.port = self.httpd.server_address[1]
        self.corpus = Corpus(pages, self.port)
        self.httpd.RequestHandlerClass = make_handler(self.corpus)
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)

    def start(self):
        self.thread.start()
        return self

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()

    def url(self, slug):
        return f"{self.corpus.origin(OWN_HOST)}/p/{slug}/"


if __name__ == "__main__":
    import argparse
    parser = argparse.ArgumentParser(description="Serve the login corpus for browsing by hand.")
    parser.add_argument("--port", type=int, default=8931)
    parser.add_argument("--set", choices=("1", "2", "all"), default="all")
    args = parser.parse_args()
    server = Server(load_sets(args.set), args.port).start()
    print(f"Serving on {server.corpus.origin(OWN_HOST)}/ (other site: {server.corpus.origin(OTHER_HOST)}/); Ctrl+C ends.")
    try:
        while True:
            time.sleep(3600)
    except KeyboardInterrupt:
        server.stop()
