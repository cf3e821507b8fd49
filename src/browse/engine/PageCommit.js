// Runs at document creation in every frame, in the program's isolated world. It tells the
// pane that a document has been committed (and later loaded) in a frame: WebEngine reports
// only the top-level load, and not the moment a document replaces the previous one.
// BG_NONCE is replaced by the pane with a per-process secret, so a page cannot fake these lines.
(function () {
    var top = window.top === window;
    var say = function (what) {
        console.debug('BG_NONCE ' + what + ' ' + (top ? 'top' : 'frame') + ' ' +
                      (document.contentType || '-') + ' ' + location.href);
    };
    say('commit');
    if (!top) window.addEventListener('load', function () { say('loaded'); });
})();
