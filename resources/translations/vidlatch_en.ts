<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>QWebEnginePage</name>
    <message>
        <source>Are you sure you want to leave this page? Changes that you made may not be saved.</source>
        <translation>Are you sure you want to leave this page? Changes that you made may not be saved.</translation>
    </message>
</context>
<context>
    <name>Vidlatch</name>
    <message>
        <source>请输入视频代码!再进行获取!</source>
        <translation>Please enter a video code, then fetch.</translation>
    </message>
    <message>
        <source>视频代码位数不正确!请重新输入!</source>
        <translation>The video code has the wrong length. Please enter it again.</translation>
    </message>
    <message>
        <source>欢迎加入Brightfold：【http://bbs.brightfold.example/】</source>
        <translation>Join Brightfold: [http://bbs.brightfold.example/]</translation>
    </message>
    <message>
        <source>获取成功!地址已获取成功!!您可直接享受在线观看特权!</source>
        <translation>Done. The address has been fetched.
You can watch the video online now.</translation>
    </message>
    <message>
        <source>获取成功!地址已复制!您可直接粘贴到您需要的地方!</source>
        <translation>Done. The address has been copied.
You can paste it wherever you need it.</translation>
    </message>
    <message>
        <source>QuorinVelmo提示</source>
        <translation>QuorinVelmo Notice</translation>
    </message>
    <message>
        <source>视频地址已获取成功!现转入主界面,请点击获取按钮获取真实视频地址!</source>
        <translation>The video code has been taken from the address.
Back in the main window, press the fetch button.</translation>
    </message>
    <message>
        <source>您未输入视频网页地址</source>
        <translation>You have not entered a video page address.</translation>
    </message>
    <message>
        <source>您当前获取的视频地址页面有误!请您检查!</source>
        <translation>This is not a video page address. Please check it.</translation>
    </message>
    <message>
        <source>抱歉!本程序不支持专辑视频地址获取</source>
        <translation>Sorry, album addresses are not supported.</translation>
    </message>
    <message>
        <source>抱歉!不支持电影地址的获取!</source>
        <translation>Sorry, film addresses are not supported.</translation>
    </message>
    <message>
        <source>抱歉!不支持此页面地址的获取!</source>
        <translation>Sorry, this page address is not supported. Please open a video page.</translation>
    </message>
    <message>
        <source>请在此处粘贴您的视频网页地址</source>
        <translation>Paste the address of the video&apos;s page here</translation>
    </message>
    <message>
        <source>直接获取视频代码</source>
        <translation>Get the video code directly</translation>
    </message>
    <message>
        <source>Brightfold 原创免费软件 · 欢迎访问论坛获取更多工具</source>
        <translation>Brightfold original free software · Visit the forum for more tools</translation>
    </message>
    <message>
        <source>Copyright © 2009 QuorinVelmo · Brightfold 论坛</source>
        <translation>Copyright © 2009 QuorinVelmo · Brightfold forum</translation>
    </message>
    <message>
        <source>首先打开任意观看地址页面,复制上方地址,例如：</source>
        <translation>Open a video page and copy its address, e.g.:</translation>
    </message>
    <message>
        <source>其中XXXXXXXXXXX就是视频代码了，点击获取地址</source>
        <translation>XXXXXXXXXXX is the video code; press fetch</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>无法连接到影片所在的服务器，影片没有播放。</source>
        <translation>Could not connect to the movie&apos;s server; the movie was not played.</translation>
    </message>
    <message>
        <source>服务器没有给出影片（HTTP %1），影片没有播放。</source>
        <translation>The server did not give the movie (HTTP %1); the movie was not played.</translation>
    </message>
    <message>
        <source>服务器给出的影片是空的，影片没有播放。</source>
        <translation>The server gave an empty movie; the movie was not played.</translation>
    </message>
    <message>
        <source>服务器给出的不是 Flash 影片，影片没有播放。</source>
        <translation>The server did not give a Flash movie; the movie was not played.</translation>
    </message>
    <message>
        <source>影片不完整，没有播放。</source>
        <translation>The movie is incomplete and was not played.</translation>
    </message>
    <message>
        <source>影片超过 64 MB，预览不播放这么大的影片。</source>
        <translation>The movie is over 64 MB; the preview does not play movies that large.</translation>
    </message>
    <message>
        <source>播放器无法播放这部影片。</source>
        <translation>The player cannot play this movie.</translation>
    </message>
    <message>
        <source>是(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>否(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>运行时错误：%1</source>
        <translation>Run-time error: %1</translation>
    </message>
    <message>
        <source>无效的属性值</source>
        <translation>Invalid property value</translation>
    </message>
    <message>
        <source>无效的地址</source>
        <translation>Invalid address</translation>
    </message>
    <message>
        <source>未指定的错误</source>
        <translation>Unspecified error</translation>
    </message>
    <message>
        <source>无效的窗口句柄</source>
        <translation>Invalid window handle</translation>
    </message>
    <message>
        <source>已检测到浏览页面【1】存在有效地址!现在您可以进行获取了!</source>
        <translation>A valid address was detected in browser page 1. You can fetch it now.</translation>
    </message>
    <message>
        <source>已检测到浏览页面【2】存在有效地址!现在您可以进行获取了!</source>
        <translation>A valid address was detected in browser page 2. You can fetch it now.</translation>
    </message>
    <message>
        <source>检测网页一中的网址有变化,但是当前地址不可获取</source>
        <translation>The address in page 1 changed, but it cannot be fetched.</translation>
    </message>
    <message>
        <source>检测网页二中的网址有变化,但是当前地址不可获取</source>
        <translation>The address in page 2 changed, but it cannot be fetched.</translation>
    </message>
    <message>
        <source>检测网页二中的网址有变化,当前获取网页二的地址</source>
        <translation>The address in page 2 changed; page 2&apos;s address is taken.</translation>
    </message>
    <message>
        <source>当前页面地址有效!可以获取!</source>
        <translation>This page address is valid. It can be fetched.</translation>
    </message>
    <message>
        <source>网站没有及时送来影片，影片没有播放。</source>
        <translation>The site did not send the movie in time; the movie was not played.</translation>
    </message>
    <message>
        <source>影片的地址被拒绝：网站把它转到了不允许的地址（本机、内部网络或非 http 地址），影片没有播放。</source>
        <translation>The movie&apos;s address was refused: the site redirected it to an address that is not allowed (this computer, a private network, or not http); the movie was not played.</translation>
    </message>
    <message>
        <source>正在载入影片…</source>
        <translation>Loading the movie…</translation>
    </message>
    <message>
        <source>复制播放地址</source>
        <translation>Copy the player address</translation>
    </message>
    <message>
        <source>复制 HTML 代码（博客）</source>
        <translation>Copy as HTML (blogs)</translation>
    </message>
    <message>
        <source>复制 BBCode 代码（论坛）</source>
        <translation>Copy as BBCode (forums)</translation>
    </message>
    <message>
        <source>复制 Markdown 链接</source>
        <translation>Copy as a Markdown link</translation>
    </message>
    <message>
        <source>网站送来影片太慢，一分钟内没有送完，影片没有播放。</source>
        <translation>The site is sending the movie too slowly: it was not all here within a minute, and the movie was not played.</translation>
    </message>
    <message>
        <source>影片没有开始播放：播放器在十秒内没有显示它的第一帧。</source>
        <translation>The movie did not start: the player showed no frame of it within ten seconds.</translation>
    </message>
    <message>
        <source>影片在播放器中出错，已停止播放。</source>
        <translation>The movie stopped with an error in the player.</translation>
    </message>
    <message>
        <source>正在载入影片… %1</source>
        <translation>Loading the movie… %1</translation>
    </message>
</context>
<context>
    <name>vidlatch::platform::ShockwaveFlash</name>
    <message>
        <source>Flash 预览</source>
        <translation>Flash preview</translation>
    </message>
    <message>
        <source>Flash 影片</source>
        <translation>Flash movie</translation>
    </message>
</context>
<context>
    <name>vidlatch::ui::Form1</name>
    <message>
        <source>在线播放</source>
        <translation>Online playback</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>当前播放地址:</source>
        <translation>Now playing:</translation>
    </message>
    <message>
        <source>视频代码辅助获取</source>
        <translation>Assisted video-code retrieval</translation>
    </message>
    <message>
        <source>使用内置浏览器自动获取功能</source>
        <translation>Use the built-in browser&apos;s automatic fetch</translation>
    </message>
    <message>
        <source>手动获取方法:</source>
        <translation>Manual method:</translation>
    </message>
    <message>
        <source>请输入视频代码</source>
        <translation>Enter the video code</translation>
    </message>
    <message>
        <source>输入网址直接获取</source>
        <translation>Take the code from a page address</translation>
    </message>
    <message>
        <source>获取视频真实地址</source>
        <translation>Get the video&apos;s real address</translation>
    </message>
    <message>
        <source>您未联网!本程序无法使用!</source>
        <translation>You are not connected to the internet. This program cannot be used.</translation>
    </message>
    <message>
        <source>感谢您对Velmo、对Ko系列的软件的支持!<byte value="xd"/> <byte value="xd"/>是否退出并到论坛可以下载更多Velmo的原创免费软件?</source>
        <translation>Thank you for supporting Velmo and the Ko series of programs.<byte value="xd"/> <byte value="xd"/>Exit now? The forum has more of Velmo&apos;s own free programs.<byte value="xd"/>Yes: exit and visit the forum.<byte value="xd"/>No: exit.<byte value="xd"/>Cancel: stay in the program.</translation>
    </message>
    <message>
        <source>主窗口：输入视频代码，获取并预览播放地址</source>
        <translation>Main window: enter a video code, fetch and preview the player address</translation>
    </message>
    <message>
        <source>播放地址</source>
        <translation>Player address</translation>
    </message>
    <message>
        <source>复制为</source>
        <translation>Copy as</translation>
    </message>
    <message>
        <source>右键、菜单键或 Shift+F10：复制为 HTML、BBCode 或 Markdown</source>
        <translation>Right-click, the Menu key or Shift+F10: copy as HTML, BBCode or Markdown</translation>
    </message>
</context>
<context>
    <name>vidlatch::ui::Form2</name>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>后退</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>初始化</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>正在检测地址...</source>
        <translation>Checking the address...</translation>
    </message>
    <message>
        <source>浏览页面【2】回到主页</source>
        <translation>Page 2: home page</translation>
    </message>
    <message>
        <source>浏览页面【1】回到主页</source>
        <translation>Page 1: home page</translation>
    </message>
    <message>
        <source>检测当前地址是否有效</source>
        <translation>Is this address valid?</translation>
    </message>
    <message>
        <source>自动获取</source>
        <translation>Fetch</translation>
    </message>
    <message>
        <source>↑友情提示:如果进入视频页面后,地址没有检测到,请刷新页面即可↑</source>
        <translation>↑Tip: if a video page is not detected, refresh the page↑</translation>
    </message>
    <message>
        <source>自动检测:[不需手动操作]</source>
        <translation>Auto-detect [no action]:</translation>
    </message>
    <message>
        <source>您仅需在网页中选择视频<byte value="xd"/>
程序会自动检测当前页面<byte value="xd"/>
选中后点击自动获取按钮<byte value="xd"/>
</source>
        <translation>Just pick a video in the page<byte value="xd"/>
The program checks the page<byte value="xd"/>
Then press Fetch<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>使用方法</source>
        <translation>How to use</translation>
    </message>
    <message>
        <source>浏览页面【1】</source>
        <translation> page 1</translation>
    </message>
    <message>
        <source>浏览页面【2】</source>
        <translation> page 2</translation>
    </message>
    <message>
        <source>浏览页面</source>
        <translation>Browser pages</translation>
    </message>
    <message>
        <source>内置浏览器窗口：浏览视频网站，检测视频页面</source>
        <translation>Built-in browser window: browse the video site, detect video pages</translation>
    </message>
    <message>
        <source>已在您的浏览器中打开：</source>
        <translation>Opened in your browser: </translation>
    </message>
    <message>
        <source>页面操作</source>
        <translation>Page actions</translation>
    </message>
    <message>
        <source>正在您的浏览器中打开：</source>
        <translation>Opening in your browser: </translation>
    </message>
    <message>
        <source>无法在您的浏览器中打开：</source>
        <translation>Could not open in your browser: </translation>
    </message>
    <message>
        <source>已拒绝打开，这不是网页地址：</source>
        <translation>Refused, not a web page: </translation>
    </message>
    <message>
        <source>页面未经您的操作要打开其他网站，已阻止（共 %1 次）：</source>
        <translation>Stopped a page opening another site without your action (%1 so far): </translation>
    </message>
    <message>
        <source>提交到其他网站的表单未发送：</source>
        <translation>A form to another site was not sent: </translation>
    </message>
</context>
</TS>
