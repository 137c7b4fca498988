#include "platform/MediaSamples.h"

#include <QDir>
#include <QFile>

namespace platform {

namespace {

void le16(QByteArray& out, quint32 v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void le32(QByteArray& out, quint32 v)
{
    le16(out, v & 0xffff);
    le16(out, v >> 16);
}

void be(QByteArray& out, quint32 v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((v >> (8 * i)) & 0xff));
}

// A RIFF chunk: id, little-endian size, body, padded to an even length.
QByteArray chunk(const char* id, const QByteArray& body)
{
    QByteArray out(id, 4);
    le32(out, quint32(body.size()));
    out += body;
    if (body.size() % 2) out.append('\0');
    return out;
}

QByteArray list(const char* type, const QByteArray& body)
{
    return chunk("LIST", QByteArray(type, 4) + body);
}

// MSB-first bit packing for the MPEG headers.
class Bits {
public:
    void put(quint64 value, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            acc_ = (acc_ << 1) | ((value >> i) & 1);
            if (++used_ == 8) {
                bytes_.append(char(acc_));
                acc_ = 0;
                used_ = 0;
            }
        }
    }
    void put(const char* pattern)
    {
        for (const char* p = pattern; *p; ++p)
            put(*p == '1' ? 1 : 0, 1);
    }
    // Zero bits up to the next byte, as before every start code.
    QByteArray take()
    {
        while (used_ != 0)
            put(0, 1);
        QByteArray out = bytes_;
        bytes_.clear();
        return out;
    }

private:
    QByteArray bytes_;
    quint32 acc_ = 0;
    int used_ = 0;
};

// 33-bit clock in the 5-byte form of packs and packets, after a 4-bit prefix.
void timestamp(Bits& bits, int prefix, quint64 t)
{
    bits.put(prefix, 4);
    bits.put(t >> 30, 3);
    bits.put(1, 1);
    bits.put((t >> 15) & 0x7fff, 15);
    bits.put(1, 1);
    bits.put(t & 0x7fff, 15);
    bits.put(1, 1);
}

constexpr int kMpegWidth = 64, kMpegHeight = 48, kMpegFrames = 25;

// One intra picture in which every block keeps the predicted DC: flat grey.
QByteArray mpegPicture(int number)
{
    Bits bits;
    bits.put(0x100, 32);
    bits.put(number, 10); // temporal reference
    bits.put(1, 3);       // I picture
    bits.put(0xffff, 16); // vbv delay: variable rate
    bits.put(0, 1);       // no extra information
    QByteArray out = bits.take();
    for (int row = 0; row < kMpegHeight / 16; ++row) {
        bits.put(0x101 + row, 32);
        bits.put(8, 5); // quantiser scale
        bits.put(0, 1);
        for (int mb = 0; mb < kMpegWidth / 16; ++mb) {
            bits.put("11"); // address increment 1, intra
            for (int block = 0; block < 4; ++block)
                bits.put("10010"); // luminance DC size 0, end of block
            for (int block = 0; block < 2; ++block)
                bits.put("0010"); // chrominance DC size 0, end of block
        }
        out += bits.take();
    }
    return out;
}

QByteArray mpegVideoHeaders()
{
    Bits bits;
    bits.put(0x1b3, 32);
    bits.put(kMpegWidth, 12);
    bits.put(kMpegHeight, 12);
    bits.put(1, 4);     // square pixels
    bits.put(3, 4);     // 25 pictures a second
    bits.put(2875, 18); // 1150 kbit/s, as a video CD
    bits.put(1, 1);
    bits.put(20, 10); // buffer size
    bits.put(0, 3);   // not constrained, default matrices
    bits.put(0x1b8, 32);
    bits.put(0, 1); // time code 00:00:00.00
    bits.put(0, 11);
    bits.put(1, 1);
    bits.put(0, 12);
    bits.put(1, 1); // closed group
    bits.put(0, 1);
    return bits.take();
}

} // namespace

QByteArray waveSample()
{
    constexpr quint32 rate = 8000, samples = rate / 2;
    QByteArray format;
    le16(format, 1); // PCM
    le16(format, 1); // mono
    le32(format, rate);
    le32(format, rate * 2);
    le16(format, 2);
    le16(format, 16);
    return chunk("RIFF", "WAVE" + chunk("fmt ", format) +
                             chunk("data", QByteArray(int(samples * 2), '\0')));
}

QByteArray midiSample()
{
    QByteArray header;
    be(header, 0, 2);                                              // format 0
    be(header, 1, 2);                                              // one track
    be(header, 96, 2);                                             // ticks per quarter note
    const QByteArray track = QByteArray::fromHex("00ff5103 07a120" // 120 quarter notes a minute
                                                 "00c000"          // piano
                                                 "00903c50"        // middle C on
                                                 "60803c40"        // off a quarter note later
                                                 "00ff2f00");
    QByteArray out("MThd");
    be(out, 6, 4);
    out += header;
    out += "MTrk";
    be(out, quint32(track.size()), 4);
    return out + track;
}

QByteArray mpegSample()
{
    constexpr quint32 muxRate = 3528; // units of 50 bytes/s, as a video CD
    QByteArray out;
    for (int i = 0; i < kMpegFrames; ++i) {
        const quint64 clock = quint64(i) * 3600; // 90 kHz ticks, 25 a second
        Bits bits;
        bits.put(0x1ba, 32);
        timestamp(bits, 0b0010, clock);
        bits.put(1, 1);
        bits.put(muxRate, 22);
        bits.put(1, 1);
        if (i == 0) {
            bits.put(0x1bb, 32);
            bits.put(9, 16); // header length
            bits.put(1, 1);
            bits.put(muxRate, 22);
            bits.put(1, 1);
            bits.put(0, 6); // no audio
            bits.put(0, 2); // variable rate, not constrained
            bits.put(0b11, 2);
            bits.put(1, 1);
            bits.put(1, 5); // one video stream
            bits.put(0xff, 8);
            bits.put(0xe0, 8);
            bits.put(0b111, 3); // buffer bound in KiB
            bits.put(46, 13);
        }
        QByteArray payload = i == 0 ? mpegVideoHeaders() : QByteArray();
        payload += mpegPicture(i);
        if (i == kMpegFrames - 1) be(payload, 0x1b7, 4); // sequence end
        bits.put(0x1e0, 32);
        bits.put(payload.size() + 5, 16);
        timestamp(bits, 0b0010, clock + 18000);
        out += bits.take() + payload;
    }
    be(out, 0x1b9, 4); // end of program stream
    return out;
}

QByteArray aviSample()
{
    constexpr quint32 width = 32, height = 24, frames = 10, frameBytes = width * height * 3;
    QByteArray main;
    le32(main, 100000); // microseconds a frame
    le32(main, frameBytes * 10);
    le32(main, 0);
    le32(main, 0x10); // has an index
    le32(main, frames);
    le32(main, 0);
    le32(main, 1); // streams
    le32(main, frameBytes);
    le32(main, width);
    le32(main, height);
    main += QByteArray(16, '\0');

    QByteArray stream("vidsDIB ");
    le32(stream, 0);
    le32(stream, 0);
    le32(stream, 0);
    le32(stream, 1);  // scale
    le32(stream, 10); // rate: 10 frames a second
    le32(stream, 0);
    le32(stream, frames);
    le32(stream, frameBytes);
    le32(stream, 0xffffffff);
    le32(stream, 0);
    le16(stream, 0);
    le16(stream, 0);
    le16(stream, width);
    le16(stream, height);

    QByteArray bitmap;
    le32(bitmap, 40);
    le32(bitmap, width);
    le32(bitmap, height);
    le16(bitmap, 1);
    le16(bitmap, 24);
    le32(bitmap, 0); // uncompressed
    le32(bitmap, frameBytes);
    bitmap += QByteArray(16, '\0');

    QByteArray movie("movi");
    QByteArray index;
    for (quint32 i = 0; i < frames; ++i) {
        QByteArray pixels;
        for (quint32 p = 0; p < width * height; ++p)
            pixels += QByteArray::fromHex("c08040"); // blue-grey, stored as BGR
        le32(index, 0x62643030);                     // "00db"
        le32(index, 0x10);                           // key frame
        le32(index, quint32(movie.size()));
        le32(index, frameBytes);
        movie += chunk("00db", pixels);
    }
    const QByteArray header = list(
        "hdrl", chunk("avih", main) + list("strl", chunk("strh", stream) + chunk("strf", bitmap)));
    return chunk("RIFF", "AVI " + header + chunk("LIST", movie) + chunk("idx1", index));
}

QList<MediaSample> writeMediaSamples(const QString& folder)
{
    const QList<std::pair<MediaSample, QByteArray>> files = {
        {{"wav", {}, 500}, waveSample()},
        {{"mid", {}, 500}, midiSample()},
        {{"dat", {}, 1000}, mpegSample()},
        {{"avi", {}, 1000}, aviSample()},
    };
    QList<MediaSample> written;
    for (auto [sample, bytes] : files) {
        sample.path = QDir(folder).filePath("sample." + sample.kind);
        QFile file(sample.path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
        written.append(sample);
    }
    return written;
}

} // namespace platform
