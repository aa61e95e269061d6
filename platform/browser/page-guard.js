// Runs in every browsing page before the page's own scripts: what no page
// gets from this program is refused at once, never left pending. (The web
// engine would leave a page's request for notifications or the camera
// unanswered for good.)
(() => {
  const refuse = () => Promise.reject(new DOMException('Permission denied', 'NotAllowedError'));
  if (window.Notification) {
    Object.defineProperty(Notification, 'permission', { get: () => 'denied' });
    Notification.requestPermission = (callback) => {
      if (typeof callback === 'function') setTimeout(() => callback('denied'));
      return Promise.resolve('denied');
    };
  }
  if (navigator.mediaDevices) {
    navigator.mediaDevices.getUserMedia = refuse;
    navigator.mediaDevices.getDisplayMedia = refuse;
  }
})();
