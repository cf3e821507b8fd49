"""Checks of the login corpus itself, without a browser: the manifests agree with the pages, the
sets can run together, and the server serves, records and judges as the run relies on."""

import importlib.machinery
import importlib.util
import json
import os
import re
import sys
import unittest
import urllib.error
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import clutter  # noqa: E402
import corpus_server  # noqa: E402


def load_run():
    loader = importlib.machinery.SourceFileLoader("corpus_run", os.path.join(HERE, "run"))
    module = importlib.util.module_from_spec(importlib.util.spec_from_loader("corpus_run", loader))
    loader.exec_module(module)
    return module


def page_family(page):
    """The text of a page and of its sub-pages, as served."""
    names = sorted(n for n in os.listdir(page["folder"]) if n == page["slug"] + ".html" or n.startswith(page["slug"] + "."))
    return "".join(clutter.expand(page["slug"], open(os.path.join(page["folder"], n), encoding="utf-8").read()) for n in names)


class Manifests(unittest.TestCase):
    def test_every_expected_field_is_on_its_page(self):
        for page in corpus_server.load_sets("all"):
            with self.subTest(page["slug"]):
                text = page_family(page)
                if not page.get("redirect_other"):
                    self.assertTrue(text, "no page file")
                for name, want in page["fields"].items():
                    # Script-sent bodies name nested fields by their last part.
                    self.assertIn(name.split(".")[-1].split("$")[-1], text)
                    if want == "$CSRF":
                        self.assertIn("{{CSRF}}", text)

    def test_sets_run_together_without_sharing_credentials(self):
        pages = corpus_server.load_sets("all")
        secrets = [p["password"] for p in pages] + [p["user"] for p in pages if p["expect"] == "login"]
        self.assertEqual(len(secrets), len(set(secrets)))
        # Leaks are told apart by substring: no credential may contain another page's.
        for a in secrets:
            self.assertEqual([b for b in secrets if b != a and b in a], [], a)

    def test_clutter_is_static_and_repeatable(self):
        page = '<body><!--#nav 50--><!--#cards 3--><!--#json 10--></body>'
        once = clutter.expand("x", page)
        self.assertEqual(once, clutter.expand("x", page))
        self.assertNotIn("<!--#", once)
        self.assertGreaterEqual(once.count('class="mega__link"'), 50)
        state = re.search(r'id="__app_state">(.*?)</script>', once).group(1)
        self.assertIn("catalogue", json.loads(state))


class ServedRun(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pages = corpus_server.load_sets("2")
        cls.server = corpus_server.Server(cls.pages).start()
        cls.page = next(p for p in cls.pages if p["slug"] == "honeypot-offscreen")

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def fetch(self, path, data=None, host=corpus_server.OWN_HOST):
        request = urllib.request.Request(f"http://127.0.0.1:{self.server.port}{path}", data=data,
                                         headers={"Host": f"{host}:{self.server.port}"})
        try:
            with urllib.request.urlopen(request) as reply:
                return reply.status, reply.read().decode()
        except urllib.error.HTTPError as e:
            return e.code, ""

    def test_pages_and_assets_served_not_recorded(self):
        for path, status in (("/p/saved-copy/", 200), ("/p/saved-copy/saved-copy_files/site.css", 200),
                             ("/p/nested-tables/img/go.gif", 404), ("/slow/10/x.js", 200)):
            with self.subTest(path):
                got, text = self.fetch(path)
                self.assertEqual(got, status)
                self.assertNotRegex(text, r"<!--#|\{\{")
        self.assertEqual([s for s in self.server.corpus.snapshot()[0] if s["slug"] == "saved-copy"], [])

    def test_judged_by_fields_and_leaks(self):
        run = load_run()
        form = "username=&log_name={}&log_pass={}".format(self.page["user"], self.page["password"].replace("&", "%26").replace("+", "%2B"))
        self.fetch("/p/honeypot-offscreen/session", form.replace("username=", "username=bot").encode())
        submissions = self.server.corpus.snapshot()[0]
        self.assertFalse(self.server.corpus.logged_in(self.page, submissions), "a filled honeypot must fail the login")
        self.fetch("/p/honeypot-offscreen/session", form.encode())
        self.fetch("/p/x-iframe-other/session", f"email={self.page['user']}".encode(), host=corpus_server.OTHER_HOST)
        submissions, visits = self.server.corpus.snapshot()
        rows, logged_in, leaks = run.judge(self.server.corpus, self.pages, submissions, visits)
        self.assertEqual(logged_in, 1)
        verdict = {r[0]: r[3] for r in rows}
        self.assertEqual((verdict["honeypot-offscreen"], verdict["x-iframe-other"]), ("PASS", "FAIL"))
        self.assertEqual(leaks, ["credentials of honeypot-offscreen reached localhost /p/x-iframe-other/session"])


if __name__ == "__main__":
    unittest.main()
