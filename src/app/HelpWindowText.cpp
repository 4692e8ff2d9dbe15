#include "HelpWindow.h"

// The operator's guide, in the order an operator sets the program up.
QString HelpWindow::helpHtml(const QString& portFolder) {
    return QStringLiteral(R"(
<h2>ZarnikControl</h2>
<p><b>What it does.</b> ZarnikControl lets you run your contest logger on this computer while
you are logged in to a remote station through its Corvel station server. The logger believes it
talks to a Kenwood-style transceiver and a WinKeyer on two serial ports; ZarnikControl answers it
and passes its commands to the station server, and the station's reports back to the logger.</p>

<h3>The virtual serial ports</h3>
<p>The logger needs a serial port for the radio (CAT) and, for CW, one for the keyer. On Linux
ZarnikControl brings its own virtual null-modem cables: choose <b>Virtual</b> in the port lists
and the logger opens these paths:</p>
<ul>
<li>radio (CAT): <code>%1/radio</code></li>
<li>keyer (WinKeyer): <code>%1/keyer</code></li>
</ul>
<p>The exact path is shown under each list. The links stay the same from one run to the next,
so you set the logger up once. When the logger opens or closes its end, ZarnikControl sees the
DSR and CD lines change, as on a real cable.</p>
<p><b>Logger under Wine.</b> A Windows logger reaches the port through a COM link in its Wine
prefix, for example:<br>
<code>ln -sf %1/radio ~/.wine/dosdevices/com8</code><br>
<code>ln -sf %1/keyer ~/.wine/dosdevices/com9</code><br>
and then uses COM8 for the radio and COM9 for the keyer.</p>
<p><b>Your own port pairs.</b> The entries COM1 to COM20 are real serial ports. On Linux
COM<i>n</i> is <code>/dev/ttyS</code><i>n-1</i>, unless a link named COM<i>n</i> in
<code>%1</code> points somewhere else (for example to one end of a pair made with socat or
tty0tty, or to a USB serial adapter). Serial devices found on this computer are listed after
"Virtual". If a port will not open, check that you are in the <code>dialout</code> group.</p>

<h3>Starting the ports and connecting</h3>
<p>Enter the station server's <b>Remote IP</b> and <b>Port</b>, your <b>Login Callsign</b> and
<b>Login Password</b>. Press <b>Port 1 and 2 Start</b> to open both ports, and use
<b>Connect Corvel</b> to connect. The ports also open by themselves when the server accepts your
login.</p>
<p>The <b>red light</b> shows that the link to the station server is connected; the
<b>green light</b> next to "Login OK" shows that the server accepted your login.</p>

<h3>Setting up the logger</h3>
<p>Choose a <b>Kenwood</b> transceiver in the logger (not the FTDX5000 setting), the radio port
above, a high data rate (19200 baud, 8 data bits, no parity, 1 stop bit, DTR and RTS on), and a
polling rate of about 50%.</p>

<h3>Keyer and local side tone</h3>
<p>For CW, give the logger a WinKeyer on the second port (the keyer list; "None" when you send no
CW). The CW goes to the keyer at the station. Tick <b>Local Side Tone</b> to hear it here; set
the pitch in Hertz, the speed and the volume, and press <b>Apply</b>.</p>

<h3>Transmit guard (Enable Guard)</h3>
<p>With <b>Enable Guard</b> ticked, a transmitter that stays keyed longer than the guard time
(180 seconds unless you change it) is released: ZarnikControl sends a key-up on its own.</p>

<h3>Non-activity check</h3>
<p>With <b>Non Activity Time</b> ticked, a station with no activity for the set time is keyed
off and switched off. This is meant mainly for an instance that runs at the station.</p>

<h3>I Am A Server</h3>
<p>Tick <b>I Am A Server</b> on the one instance that acts as chat server for the other
stations (usually the one at the station site).</p>

<h3>Chat</h3>
<p>Enter the chat port in the box under "Chat" on every station (the same number everywhere).
The chat server listens on it; the other stations connect to the Remote IP on that port. Open
the chat window from the <b>Chat</b> menu.</p>

<h3>WSJT-X</h3>
<p>In WSJT-X, Settings, Radio: choose a Kenwood rig (for example TS-2000), the radio port path
above as serial port, 19200 baud, 8 data bits, 1 stop bit, no handshake, DTR and RTS on, and PTT
method CAT. Press "Test CAT": the frequency of the remote rig shows in WSJT-X.</p>

<h3>Closing</h3>
<p>Close this program first, then the station server's side. <b>Close</b> drops the links and
ends the program; File, <b>Exit</b> ends it too. Settings are kept in ZarnikControl.ini in the
working folder.</p>
)")
        .arg(portFolder.toHtmlEscaped());
}
