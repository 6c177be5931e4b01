#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <vector>

// The real tables in tests/data/edid, by file name.
inline QByteArray RealSample(const char* name) {
    QFile file(QStringLiteral(TALVO_EDID_SAMPLES_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("missing sample %s", name);
    }
    return file.readAll();
}

inline std::vector<std::uint8_t> RealSampleBytes(const char* name) {
    const QByteArray bytes = RealSample(name);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}
