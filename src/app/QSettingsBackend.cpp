#include "app/QSettingsBackend.h"

#include "core/Version.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace travonix {

namespace {

QString toQt(const std::string& text) {
    return QString::fromLocal8Bit(text);
}
std::string fromQt(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

QString qtKey(const std::string& section, const std::string& key) {
    return toQt(section) + QLatin1Char('/') + toQt(key);
}

std::unique_ptr<QSettings> currentUserSettings() {
    const QString product = QString::fromLatin1(kProductName);
#ifdef _WIN32
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + product,
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, product,
                                       product);
#endif
}

} // namespace

QSettingsBackend::QSettingsBackend() : settings_(currentUserSettings()) {}

QSettingsBackend::QSettingsBackend(const std::string& iniFilePath)
    : settings_(std::make_unique<QSettings>(toQt(iniFilePath), QSettings::IniFormat)) {}

QSettingsBackend::~QSettingsBackend() = default;

std::optional<std::string> QSettingsBackend::read(const std::string& section,
                                                  const std::string& key) {
    // An unreadable or malformed file reads as an empty store: the defaults
    // then apply, which serves the user better than empty members.
    const QString name = qtKey(section, key);
    if (!settings_->contains(name))
        return std::nullopt;
    const QVariant value = settings_->value(name);
    // A hand-edited INI value with unquoted commas comes back as a list.
    if (value.typeId() == QMetaType::QStringList)
        return fromQt(value.toStringList().join(QStringLiteral(", ")));
    return fromQt(value.toString());
}

void QSettingsBackend::write(const std::string& section, const std::string& key,
                             const std::string& text) {
    settings_->setValue(qtKey(section, key), toQt(text));
    // Each write is its own step: flush it now so a failure belongs to it.
    settings_->sync();
    if (settings_->status() != QSettings::NoError)
        throw SettingsError("the settings store cannot be written");
}

std::string QSettingsBackend::location() const {
    return fromQt(settings_->fileName());
}

} // namespace travonix
