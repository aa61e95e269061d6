// Qt 6.4's web engine cannot fetch() from a custom scheme; XMLHttpRequest
// can. Ruffle fetches its WebAssembly, so those requests take the XHR road
// and come back as a Response of the right type.
(() => {
  const realFetch = window.fetch.bind(window);
  window.fetch = (input, init) => {
    const url = typeof input === 'string' ? input : (input instanceof URL ? input.href : input.url);
    if (!url.startsWith('vidlatch-ruffle:')) return realFetch(input, init);
    return new Promise((resolve, reject) => {
      const xhr = new XMLHttpRequest();
      xhr.open('GET', url);
      xhr.responseType = 'arraybuffer';
      xhr.onload = () => resolve(new Response(xhr.response, { status: 200, headers: {
        'Content-Type': url.endsWith('.wasm') ? 'application/wasm' : 'application/octet-stream' } }));
      xhr.onerror = () => reject(new TypeError('Failed to fetch ' + url));
      xhr.send();
    });
  };
})();
