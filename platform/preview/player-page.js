// The preview page: plays, one at a time, the movies the program has fetched
// and checked, and says how each went through the page title, which the
// program follows:
//   vidlatch:shown:<serial>   the movie's first frame is on screen
//   vidlatch:failed:<serial>  it could not be played; a plain sentence says why
(() => {
  const settings = JSON.parse(document.getElementById('vidlatch-settings').textContent);
  window.RufflePlayer = window.RufflePlayer || {};
  window.RufflePlayer.config = settings.config;

  let player = null;
  let notice = null;
  let serial = 0;

  // Each movie gets a player of its own: the last one is removed with all it
  // held (its instance, its canvas, an error panel), so nothing of one movie
  // reaches the next.
  const remove = (old, contexts) => {
    // A removed player leaves its sound output open: close it, or each movie
    // would keep one more audio stream in the program for good.
    for (const context of contexts) context.close();
    // Its canvas keeps a frame-sized bitmap, shared with the program, until
    // the garbage collector comes by; a canvas of no size gives it back now.
    for (const canvas of old.shadowRoot ? old.shadowRoot.querySelectorAll('canvas') : [])
      canvas.width = canvas.height = 0;
    old.remove();
  };
  // The sound outputs of the player on screen: all but a staged player's.
  const shownAudio = () => [...audio].filter((context) => !staged || staged.before.has(context));

  const clear = () => {
    resting = false;
    waiting = false;
    const contexts = shownAudio();
    if (player) remove(player, contexts);
    else for (const context of contexts) context.close();
    if (notice) notice.remove();
    player = notice = null;
  };

  const fail = (next) => {
    clear();
    notice = document.createElement('p');
    notice.id = 'notice';
    notice.textContent = next.message;
    document.body.appendChild(notice);
    document.title = 'vidlatch:failed:' + next.serial;
  };

  // A still movie's first frame is all it will ever show: the player's frame
  // loop rests from then on, so that nothing runs or is drawn again while it
  // is on screen. (Ruffle asks for every frame with requestAnimationFrame.)
  // Its sound output rests too: a still movie has no sound.
  const nextFrame = window.requestAnimationFrame.bind(window);
  let resting = false;
  window.requestAnimationFrame = (callback) => (resting ? 0 : nextFrame(callback));
  const RealAudioContext = window.AudioContext;
  const audio = new Set();
  window.AudioContext = class extends RealAudioContext {
    constructor(...options) {
      super(...options);
      audio.add(this);
      this.addEventListener('statechange', () => this.state === 'closed' && audio.delete(this));
    }

    // The player resumes its sound when the page is shown again; a resting
    // one has none to play.
    resume() {
      return resting ? Promise.resolve() : super.resume();
    }
  };
  const rest = () => {
    resting = true;
    for (const context of shownAudio()) context.suspend();
  };

  // The Flash plug-in knew no game pads; asking for them every frame would
  // keep the browser polling for them all day.
  Object.defineProperty(navigator, 'getGamepads', { value: () => [] });

  const newPlayer = () => {
    const created = window.RufflePlayer.newest().createPlayer();
    created.id = 'player';
    // To a screen reader the movie is one picture: the player's own parts
    // (its canvas, a hidden field for the keyboard) say nothing.
    created.setAttribute('role', 'img');
    created.setAttribute('aria-label', settings.movieName);
    document.body.appendChild(created);
    return created;
  };

  // A new movie is on its way ({serial}): the one before stops now, and its
  // player is made while the movie is fetched. Returns true: the page answers.
  let waiting = false;
  window.vidlatchLoading = (next) => {
    clear();
    serial = next.serial;
    document.title = '';
    player = newPlayer();
    waiting = true;
    return true;
  };

  const bytesOf = (base64) => {
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
    return bytes.buffer;
  };

  // A movie handed over before its turn ({token, data, url, base,
  // parameters}): loaded paused and hidden while the program's notice is
  // read, so that at its turn it only has to be shown. Nothing of it is
  // seen or heard before then.
  let staged = null;
  const unstage = () => {
    if (!staged) return;
    const contexts = [...audio].filter((context) => !staged.before.has(context));
    remove(staged.player, contexts);
    staged = null;
  };
  window.vidlatchStage = (next) => {
    unstage();
    // A resting movie would hold back the staged one's frames.
    resting = false;
    const created = newPlayer();
    created.style.visibility = 'hidden';
    created.style.position = 'absolute';
    created.style.inset = '0';
    staged = { token: next.token, player: created, before: new Set(audio), ready: false, failed: false };
    const mine = staged;
    created.addEventListener('loadeddata', () => { mine.ready = true; });
    mine.loading = created.load({ data: bytesOf(next.data), swfFileName: next.url, parameters: next.parameters,
                                  base: next.base, autoplay: 'off' });
    mine.loading.catch(() => { mine.failed = true; });
    return true;
  };

  // `next`: {serial, data (the checked bytes in base64) or movie (their
  // address), url (where they came from), base, parameters, still,
  // failedMessage, staged (the token of the same movie staged)}. Returns true
  // once the movie is on its way, so that the program knows the page is alive.
  window.vidlatchPlay = (next) => {
    // Only a staged movie already loaded is shown as it is; any other is loaded anew.
    const ahead = staged && staged.ready && !staged.failed && staged.token === next.staged ? staged : null;
    if (ahead) {
      clear();
      staged = null;
      player = ahead.player;
      player.style.visibility = '';
      for (const context of audio) context.resume();
      player.play();
    } else {
      unstage();
      if (!(waiting && serial === next.serial)) {
        clear();
        player = newPlayer();
      }
    }
    waiting = false;
    serial = next.serial;
    document.title = '';
    const created = player;
    const current = () => player === created && serial === next.serial;
    const shown = () => {
      if (!current()) return;
      if (next.still) nextFrame(() => nextFrame(() => current() && rest()));
      document.title = 'vidlatch:shown:' + next.serial;
    };
    if (ahead) {
      // The movie before was on screen until now: the program uncovers the
      // preview once a frame without it has been drawn (a hidden page draws
      // none, and nobody sees it).
      const drawn = () => (document.visibilityState === 'visible' ? nextFrame(() => nextFrame(shown)) : shown());
      drawn();
      return true;
    }
    created.addEventListener('loadeddata', shown);
    const play = (data) => {
      if (!current()) return;
      created.load({ data, swfFileName: next.url, parameters: next.parameters, base: next.base })
        .catch(() => current() && fail({ serial: next.serial, message: next.failedMessage }));
    };
    if (next.data !== undefined) {
      play(bytesOf(next.data));
      return true;
    }
    const xhr = new XMLHttpRequest();
    xhr.open('GET', next.movie);
    xhr.responseType = 'arraybuffer';
    xhr.onload = () => play(xhr.response);
    xhr.onerror = () => current() && fail({ serial: next.serial, message: next.failedMessage });
    xhr.send();
    return true;
  };

  window.vidlatchFail = (next) => {
    serial = next.serial;
    fail(next);
    return true;
  };
})();
