#include "platform/qt/qt_mime_reader.h"

#include <QMimeData>
#include <QUrl>

namespace {
const QString uriListType = QStringLiteral("text/uri-list");
}

COleDataObject QtMimeReader::read(const QMimeData* mime) {
    if (mime == nullptr) {
        return COleDataObject();
    }
    // The raw list rather than QMimeData::urls(): decoding to QString would lose file names
    // that are not valid UTF-8.
    std::vector<CString> files;
    if (mime->hasFormat(uriListType)) {
        const QByteArray list = mime->data(uriListType);
        for (const QByteArray& line : list.split('\n')) {
            const QByteArray uri = line.trimmed();
            std::string path;
            if (!uri.isEmpty() && !uri.startsWith('#') && localPath(uri, path)) {
                files.push_back(std::move(path));
            }
        }
    }
    const bool hasFiles = !files.empty();
    const bool hasText = mime->hasText();
    CString text;
    if (hasText) {
        text = mime->text().toStdString();
    }
    return COleDataObject(std::move(files), hasFiles, std::move(text), hasText);
}

bool QtMimeReader::localPath(const QByteArray& uri, std::string& path) {
    const QUrl url(QString::fromUtf8(uri));
    if (!url.isValid() || url.scheme().compare(QStringLiteral("file"), Qt::CaseInsensitive) != 0) {
        return false;
    }
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) != 0) {
        return false;
    }
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (bytes.isEmpty() || bytes.contains('\0')) {
        return false;
    }
    path.assign(bytes.constData(), std::size_t(bytes.size()));
    return true;
}
