#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// Tiny, valid files of each kind the alarm offers, made without any encoder,
// so the media backend can be proved on any machine.
struct MediaSample {
    QString kind; // file suffix: wav, mid, dat, avi
    QString path;
    qint64 durationMs = 0; // nominal length
};

QByteArray waveSample(); // 0.5 s of silence, PCM
QByteArray midiSample(); // one note of 0.5 s, standard MIDI file
QByteArray mpegSample(); // 1 s of grey MPEG-1 video in a program stream
QByteArray aviSample();  // 1 s of uncompressed video in AVI

// Writes sample.wav, sample.mid, sample.dat and sample.avi into folder, in that
// order. Empty when a file cannot be written.
QList<MediaSample> writeMediaSamples(const QString& folder);

} // namespace platform
