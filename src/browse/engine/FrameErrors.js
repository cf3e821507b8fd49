// Runs at document creation in every frame below the top document, in the page's own world: the
// error events of the page's scripts reach only listeners of that world. An error inside a frame
// (an ad's, typically) is not the page's: it is kept from the console, where the pane would take
// it for one of the page, and reported on a line of its own, marked with BG_FRAME_NONCE.
(function () {
    if (window.top === window) return;
    window.addEventListener('error', function (e) {
        if (!(e instanceof ErrorEvent)) return; // a resource that failed to load
        e.preventDefault();
        console.error('BG_FRAME_NONCE ' + JSON.stringify([String(e.message), String(e.filename || ''),
                                                          Number(e.lineno) || 0]));
    });
})();
