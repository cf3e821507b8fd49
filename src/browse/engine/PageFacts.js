// Facts about the document for the Properties dialog: its type, its size as received, the date
// its server gave it and when it was loaded. Runs in the program's isolated world.
(function () {
  var nav = null;
  try {
    nav = performance.getEntriesByType('navigation')[0] || null;
  } catch (e) {}
  var size = nav ? (nav.decodedBodySize || nav.encodedBodySize || 0) : 0;
  if (!size && document.documentElement) {
    try {
      size = new Blob([document.documentElement.outerHTML]).size;
    } catch (e) {}
  }
  // Without a date from the server the engine reports the present moment; that is no date.
  var modified = Date.parse(document.lastModified);
  if (isNaN(modified) || Math.abs(Date.now() - modified) < 3000) modified = 0;
  return {
    type: document.contentType || '',
    size: size,
    modified: modified,
    loaded: Math.round(performance.timeOrigin || 0)
  };
})()
