// The page fetches nothing from the network itself. Qt 6.4's web engine
// cannot fetch() from a custom scheme, but XMLHttpRequest can: Ruffle's own
// files come from the player's scheme that way, and whatever a movie asks
// of the network goes to the program through that scheme too, which fetches
// it only where it leads off this machine and its network. Either comes
// back as a Response, as fetch() would give it; a refusal is a failed load,
// as from a site that does not answer.
(() => {
  const realFetch = window.fetch.bind(window);
  const MaxBodyBytes = 1 << 20;
  const MaxAddressLength = 64 << 10;  // as the program takes (MaxAskAddressLength)
  // The program serves the asks of this document's movie only: they carry
  // its key, which each movie handed over renews (vidlatchPlay).
  let askKey = JSON.parse(document.getElementById('vidlatch-settings').textContent).askKey;
  window.vidlatchAsksUnder = (key) => { askKey = key; };

  // The body streams the bytes as they came: a Response made of the buffer
  // would copy it, and the player's 14 MB of WebAssembly would lie in the
  // page twice more until the garbage collector came by, which for a page
  // that rests on a still movie is seconds later.
  const bodyOf = (buffer) => new ReadableStream({
    start(controller) {
      controller.enqueue(new Uint8Array(buffer));
      controller.close();
    },
  });

  const viaScheme = (url, typeOf) => new Promise((resolve, reject) => {
    const xhr = new XMLHttpRequest();
    xhr.open('GET', url);
    xhr.responseType = 'arraybuffer';
    xhr.onload = () => (xhr.status === 200
      ? resolve(new Response(bodyOf(xhr.response), { status: 200, headers: { 'Content-Type': typeOf(xhr) } }))
      : reject(new TypeError('Failed to fetch')));
    xhr.onerror = () => reject(new TypeError('Failed to fetch'));
    xhr.send();
  });

  const base64 = (bytes) => {
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    return btoa(text);
  };

  // What a movie asks, with its method, its body and the body's type.
  // `key`: the one of the movie that asked, taken before anything is awaited.
  const askProgram = async (request, key) => {
    const body = request.method === 'GET' ? new Uint8Array() : new Uint8Array(await request.arrayBuffer());
    if (body.length > MaxBodyBytes) throw new TypeError('Failed to fetch');
    const asked = new URLSearchParams({ key, url: request.url, method: request.method,
                                        type: request.headers.get('Content-Type') || '' });
    if (body.length > 0) asked.set('body', base64(body));
    const response = await viaScheme('vidlatch-ruffle://net/?' + asked,
                                     (xhr) => xhr.getResponseHeader('Content-Type') || 'application/octet-stream');
    // The movie reads where what it loaded came from.
    Object.defineProperty(response, 'url', { value: request.url });
    return response;
  };

  window.fetch = async (input, init) => {
    // An ask is the movie's that made it: one handed over while its body is
    // read must not send it under the next movie's key.
    const key = askKey;
    // An address longer than the program takes is refused before it is copied.
    if (String(input instanceof Request ? input.url : input).length > MaxAddressLength) throw new TypeError('Failed to fetch');
    const request = new Request(input, init);
    if (request.url.startsWith('vidlatch-ruffle:')) {
      return viaScheme(request.url, () => (request.url.endsWith('.wasm') ? 'application/wasm' : 'application/octet-stream'));
    }
    if (/^https?:/i.test(request.url)) return askProgram(request, key);
    return realFetch(input, init);  // data: and blob: stay in the page
  };
})();
