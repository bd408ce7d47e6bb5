// The QR code maker, a script of its own: loaded the first time a link is
// shown, so that the page's start carries none of it.
import qrcode from 'qrcode-generator';

self.kuvQrcode = qrcode;
