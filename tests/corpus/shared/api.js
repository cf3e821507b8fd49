// Helpers for pages that log in from script: send, then go where the server says.
async function postJson(url, data) {
  const reply = await fetch(url, {
    method: 'POST',
    headers: { 'Content-Type': 'application/json', 'Accept': 'application/json' },
    body: JSON.stringify(data),
  });
  return reply.json();
}

function followReply(reply, errorBox) {
  if (reply && reply.ok && reply.redirect) location.href = reply.redirect;
  else if (errorBox) errorBox.textContent = (reply && reply.error) || 'Something went wrong. Please try again.';
}
