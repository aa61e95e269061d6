// The preview page: plays, one at a time, the movies the program has fetched
// and checked, as the program tells it, and reports what happened through
// the page title, which the program follows. Each report names this
// document's build, so that none is taken for a later document's:
//   vidlatch:<build>:ready:0                  the page can play
//   vidlatch:<build>:shown:<serial>           a frame of the movie is drawn on screen
//   vidlatch:<build>:failed:<serial>          it could not be played; a plain sentence on screen says why
//   vidlatch:<build>:panic:<serial>           its player broke down (and with it this page's player)
//   vidlatch:<build>:panic-staged:<token>     the staged movie's player broke down
// The program decides everything else.
(() => {
  const settings = JSON.parse(document.getElementById('vidlatch-settings').textContent);
  window.RufflePlayer = window.RufflePlayer || {};
  window.RufflePlayer.config = settings.config;

  const report = (what, id) => { document.title = 'vidlatch:' + settings.build + ':' + what + ':' + id; };

  let player = null;
  let notice = null;
  let serial = 0;
  let staged = null;

  // A still movie's first frame is all it will ever show: its player rests
  // from then on, so that nothing runs or is drawn again while it is on
  // screen. Frames are asked for by every player alike (Ruffle asks for each
  // with requestAnimationFrame), so they stop only while every player there
  // rests. Until the movie the program waits for has drawn a frame, each
  // frame begins with a look at what the one before it drew.
  const nextFrame = window.requestAnimationFrame.bind(window);
  let awaited = null;
  const players = () => [player, staged && staged.player].filter(Boolean);
  const allRest = () => players().length > 0 && players().every((each) => each.resting);
  window.requestAnimationFrame = (callback) => (allRest() ? 0 : nextFrame((time) => {
    if (awaited && awaited.time !== time) {
      // Every callback of the frame before has returned: the player's tick included.
      const ticked = awaited.time;
      awaited.time = time;
      awaited.look(ticked);
    }
    callback(time);
  }));

  // Sound outputs, each with the player that opened it: a player opens one
  // as its load builds it, in the order the loads began.
  const RealAudioContext = window.AudioContext;
  let building = [];
  window.AudioContext = class extends RealAudioContext {
    constructor(...options) {
      super(...options);
      this.owner = building.shift();
      if (this.owner) this.owner.audio.push(this);
      else this.close();
    }

    // The player resumes its sound when the page is shown again; a resting
    // one has none to play.
    resume() {
      return this.owner && this.owner.resting ? Promise.resolve() : super.resume();
    }
  };
  const load = (created, options) => {
    building.push(created);
    const built = () => { building = building.filter((other) => other !== created); };
    const loading = created.load(options);
    loading.then(built, built);
    return loading;
  };

  // The Flash plug-in knew no game pads; asking for them every frame would
  // keep the browser polling for them all day.
  Object.defineProperty(navigator, 'getGamepads', { value: () => [] });

  // Our own elements are the body's only children: whatever a movie or the
  // player puts beside them (a prompt to choose files, say) goes at once,
  // and nothing of one movie is left over the next.
  const ours = () => [player, notice, staged && staged.player].filter(Boolean);
  const keepOurs = new MutationObserver(() => {
    for (const child of [...document.body.children]) if (!ours().includes(child)) child.remove();
  });

  // Each player is removed with all it held: its sound outputs, its canvas's
  // bitmap (shared with the program until the garbage collector comes by),
  // its panels and menus.
  const remove = (old) => {
    for (const context of old.audio) context.close();
    old.audio = [];
    for (const canvas of old.shadowRoot ? old.shadowRoot.querySelectorAll('canvas') : [])
      canvas.width = canvas.height = 0;
    old.remove();
  };

  // A player's panic screen never stays on screen: the player goes, and the
  // program hears of it.
  const panicked = (created) => {
    if (staged && staged.player === created) {
      const token = staged.token;
      unstage();
      report('panic-staged', token);
    } else if (player === created) {
      clear();
      report('panic', serial);
    }
  };

  const newPlayer = () => {
    const created = window.RufflePlayer.newest().createPlayer();
    created.id = 'player';
    created.audio = [];
    // To a screen reader the movie is one picture: the player's own parts
    // (its canvas, a hidden field for the keyboard) say nothing.
    created.setAttribute('role', 'img');
    created.setAttribute('aria-label', settings.movieName);
    document.body.appendChild(created);
    new MutationObserver((_, watch) => {
      if (!created.shadowRoot.getElementById('panic')) return;
      watch.disconnect();
      panicked(created);
    }).observe(created.shadowRoot, { childList: true, subtree: true });
    return created;
  };

  const clear = () => {
    awaited = null;
    if (player) remove(player);
    if (notice) notice.remove();
    player = notice = null;
  };

  const unstage = () => {
    if (staged) remove(staged.player);
    staged = null;
  };

  const bytesOf = (base64) => {
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
    return bytes.buffer;
  };

  // Whether `created` has drawn a frame: its canvas is no longer blank.
  const hasDrawn = (created) => {
    const canvas = created.shadowRoot && created.shadowRoot.querySelector('canvas');
    if (!canvas || canvas.width === 0 || canvas.height === 0) return false;
    const context = canvas.getContext('2d');
    return context !== null && context.getImageData(canvas.width >> 1, canvas.height >> 1, 1, 1).data[3] !== 0;
  };

  // Reports the movie shown once its player has drawn a frame and that
  // frame has gone to the screen: at the start of the frame after it, and
  // never sooner than the second frame after the hand-over. A staged player
  // drew its stage while hidden, and runs its first frame (whose script may
  // never end) only once a frame's time has passed: unless the movie is
  // still (no script), it is shown once a tick that late has returned.
  // Until then the program keeps the movie before covered.
  const reportWhenDrawn = (created, next, staged) => {
    const current = () => player === created && serial === next.serial;
    const rate = created.metadata && created.metadata.frameRate;
    const played = staged && !next.still ? performance.now() + (rate > 0 ? Math.min(1000 / rate, 1000) : 1000 / 24) : -Infinity;
    let frames = 0;
    awaited = {
      time: -1,
      look: (ticked) => {
        if (!current()) return;
        if (frames++ < 1 || ticked < played || !hasDrawn(created)) return;
        awaited = null;
        if (next.still) nextFrame(() => nextFrame(() => { if (current()) rest(); }));
        report('shown', next.serial);
      },
    };
  };

  const rest = () => {
    player.resting = true;
    for (const context of player.audio) context.suspend();
  };

  // The sentence is reported once it is on screen: at the start of the
  // second frame after it, as a movie's frame is.
  const fail = (next) => {
    clear();
    const mine = document.createElement('p');
    notice = mine;
    mine.id = 'notice';
    mine.textContent = next.message;
    document.body.appendChild(mine);
    nextFrame(() => nextFrame(() => { if (notice === mine && serial === next.serial) report('failed', next.serial); }));
  };

  // A new movie is on its way ({serial}): the one before stops now, and its
  // player is made while the movie is fetched. Every call answers true: the
  // page is alive.
  let waiting = false;
  window.vidlatchLoading = (next) => {
    clear();
    serial = next.serial;
    document.title = '';
    player = newPlayer();
    waiting = true;
    return true;
  };

  // A movie handed over before its turn ({token, data, url, base,
  // parameters}): loaded paused and hidden while the program's notice is
  // read, so that at its turn it only has to be shown.
  window.vidlatchStage = (next) => {
    unstage();
    const mine = { token: next.token, player: null, ready: false, failed: false };
    staged = mine;
    mine.player = newPlayer();
    mine.player.style.visibility = 'hidden';
    mine.player.style.position = 'absolute';
    mine.player.style.inset = '0';
    mine.player.addEventListener('loadeddata', () => { mine.ready = true; });
    load(mine.player, { data: bytesOf(next.data), swfFileName: next.url, parameters: next.parameters,
                        base: next.base, autoplay: 'off' })
      .catch(() => { mine.failed = true; });
    return true;
  };

  window.vidlatchDrop = () => {
    unstage();
    return true;
  };

  // `next`: {serial, data (the checked bytes in base64) or movie (their
  // address), url (where they came from), base, parameters, still,
  // failedMessage, staged (the token of the same movie staged), askKey (what
  // its asks carry)}.
  window.vidlatchPlay = (next) => {
    window.vidlatchAsksUnder(next.askKey);
    const ahead = staged && staged.ready && !staged.failed && staged.token === next.staged ? staged : null;
    let created;
    if (ahead) {
      clear();
      staged = null;
      created = ahead.player;
      player = created;
      created.style.visibility = '';
      for (const context of created.audio) context.resume();
      created.play();
    } else {
      unstage();
      if (waiting && serial === next.serial && player) {
        created = player;
      } else {
        clear();
        player = created = newPlayer();
      }
    }
    waiting = false;
    serial = next.serial;
    document.title = '';
    reportWhenDrawn(created, next, ahead !== null);
    if (ahead) return true;
    const current = () => player === created && serial === next.serial;
    const play = (data) => {
      if (!current()) return;
      load(created, { data, swfFileName: next.url, parameters: next.parameters, base: next.base })
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
    unstage();
    serial = next.serial;
    fail(next);
    return true;
  };

  document.addEventListener('DOMContentLoaded', () => {
    keepOurs.observe(document.body, { childList: true });
    report('ready', 0);
  });
})();
