#include "qt/settings_store.h"

#include <QSettings>

namespace vorlen {
namespace {

QString KeyOf(const std::string& key) {
    return QStringLiteral("station/") + QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

std::optional<std::string> QtSettingsStore::Read(const std::string& key) const {
    const QSettings settings(QStringLiteral("Vorlen"), QStringLiteral("Vorlen"));
    const QVariant value = settings.value(KeyOf(key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    return value.toString().toUtf8().toStdString();
}

std::string QtSettingsStore::Write(const std::string& key, const std::string& value) {
    QSettings settings(QStringLiteral("Vorlen"), QStringLiteral("Vorlen"));
    settings.setValue(KeyOf(key), QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    settings.sync();
    switch (settings.status()) {
        case QSettings::NoError:
            return {};
        case QSettings::AccessError:
            return settings.fileName().toStdString() + " cannot be written";
        case QSettings::FormatError:
            return settings.fileName().toStdString() + " is not a settings file";
    }
    return settings.fileName().toStdString() + " cannot be written";
}

}  // namespace vorlen
