// The registry on Linux: the machine-wide settings file
// $XDG_CONFIG_DIRS/kelvo/registry.ini (by default /etc/xdg/kelvo/registry.ini), e.g.
//   [HKEY_LOCAL_MACHINE]
//   SOFTWARE\Brenk\path=/srv/kelvo

#include <QSettings>
#include <QStringList>

#include <unistd.h>

#include <climits>

#include "codepage.h"
#include "registry.h"

namespace kelvo::platform {

bool ReadMachineString(std::string_view key, std::string_view name, std::string& value) {
    QSettings settings(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("kelvo"),
                       QStringLiteral("registry"));
    QString qkey = QStringLiteral("HKEY_LOCAL_MACHINE/") +
                   QString::fromUtf8(AnsiToUtf8(key)).replace(QLatin1Char('\\'), QLatin1Char('/')) +
                   QLatin1Char('/') + QString::fromUtf8(AnsiToUtf8(name));
    if (settings.status() != QSettings::NoError || !settings.contains(qkey)) return false;
    const QVariant stored = settings.value(qkey);
    // An unquoted value with commas reads back as a list; the registry knows only the text.
    const QString text = stored.typeId() == QMetaType::QStringList
                             ? stored.toStringList().join(QLatin1Char(','))
                             : stored.toString();
    value = Utf8ToAnsi(text.toStdString());
    // The registry's text ends at its first zero byte.
    if (const auto zero = value.find('\0'); zero != std::string::npos) value.resize(zero);
    return true;
}

std::string DefaultDataDirectory() {
    char exe[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "share/kelvo";
    std::string dir(exe, static_cast<std::size_t>(n));
    dir.resize(dir.rfind('/'));
    return Utf8ToAnsi(dir + "/../share/kelvo");
}

}  // namespace kelvo::platform
