// Whether a person has typed or chosen something in the page (or a same-origin frame of it)
// that the page has not sent: a field whose value, or a box or an option whose choice, is no
// longer what the page gave it. Runs in the program's isolated world. True when unsure.
(function () {
  function changed(doc) {
    var fields = doc.querySelectorAll('input,textarea,select');
    for (var k = 0; k < fields.length; k++) {
      var f = fields[k];
      var tag = f.tagName;
      if (tag === 'SELECT') {
        if (f.multiple) {
          for (var o = 0; o < f.options.length; o++)
            if (f.options[o].selected !== f.options[o].defaultSelected) return true;
        } else {
          // A single choice without a marked default starts at its first option.
          var start = -1;
          for (var p = 0; p < f.options.length; p++) if (f.options[p].defaultSelected) start = p;
          if (start < 0 && f.size <= 1)
            for (var q = 0; q < f.options.length && start < 0; q++) if (!f.options[q].disabled) start = q;
          if (f.selectedIndex !== start) return true;
        }
      } else if (f.type === 'checkbox' || f.type === 'radio') {
        if (f.checked !== f.defaultChecked) return true;
      } else if (f.type !== 'hidden' && f.type !== 'submit' && f.type !== 'button' && f.type !== 'image' &&
                 f.type !== 'reset' && f.value !== f.defaultValue) {
        return true;
      }
    }
    var frames = doc.querySelectorAll('frame,iframe');
    for (var m = 0; m < frames.length; m++) {
      var inner = null;
      try {
        inner = frames[m].contentDocument;
      } catch (e) {}
      if (inner && changed(inner)) return true;
    }
    return false;
  }
  try {
    return changed(document);
  } catch (e) {
    return true;
  }
})()
