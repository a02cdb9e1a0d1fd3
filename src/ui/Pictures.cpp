#include "ui/Pictures.h"

#include "ui/JpegPicture.h"

#include <QFileInfo>
#include <QHash>
#include <QImageReader>

namespace tarnwake::ui {

QPixmap LoadPicture(const std::optional<std::filesystem::path>& file) {
    if (!file || !std::filesystem::is_regular_file(*file)) {
        return {};
    }
    const QString name = QString::fromStdString(file->string());
    const QFileInfo info(name);
    if (!info.isFile() || info.size() > kMaxPictureFileBytes) {
        return {};
    }
    if (LooksLikeJpeg(*file)) {
        const QImage photograph = DecodeJpeg(*file, kMaxPictureFileBytes, kMaxPicturePixels);
        return photograph.isNull() ? QPixmap() : QPixmap::fromImage(photograph);
    }
    QImageReader reader(name);
    const QSize size = reader.size();
    if (size.isValid() && static_cast<qint64>(size.width()) * size.height() > kMaxPicturePixels) {
        return {};
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        return {};
    }
    return QPixmap::fromImage(image);
}

QPixmap FlagPicture(const core::TGameFolders& folders, const std::string& fileName, int height) {
    if (fileName.empty()) {
        return {};
    }
    const std::optional<std::filesystem::path> file =
        core::FindFileNoCase(folders.FlagsDir(), fileName);
    if (!file) {
        return {};
    }
    static QHash<QString, QPixmap> loaded;
    const QString key = QString::fromStdString(file->string()) + "@" + QString::number(height);
    if (auto found = loaded.constFind(key); found != loaded.constEnd()) {
        return found.value();
    }
    QPixmap flag = LoadPicture(file);
    if (!flag.isNull()) {
        flag = flag.scaledToHeight(height, Qt::SmoothTransformation);
    }
    loaded.insert(key, flag);
    return flag;
}

} // namespace tarnwake::ui
