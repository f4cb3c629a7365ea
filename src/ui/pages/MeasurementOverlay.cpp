#include "ui/pages/MeasurementOverlay.h"

#include <QSettings>
#include <QString>

namespace arvestra {

namespace {

constexpr const char* kSection = "Measurement Overlay";

QString Key(int channel, const char* name) {
    return QStringLiteral("%1/Ch%2 %3")
        .arg(QLatin1String(kSection))
        .arg(channel + 1)
        .arg(QLatin1String(name));
}

QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvanex"),
                     QStringLiteral("Arvestra"));
}

}  // namespace

MeasurementOverlay LoadMeasurementOverlay(const std::string& path,
                                          const Normalisation& normalisation, std::string& error) {
    Measurement::ParseResult parsed = ReadMeasurementFile(path);
    if (!parsed.Ok()) {
        error = parsed.error;
        return {};
    }
    NormaliseResult normalised = Normalise(parsed.measurement, normalisation);
    if (!normalised.error.empty()) {
        error = path + ": " + normalised.error;
        return {};
    }
    error.clear();
    return {path, normalisation, std::move(parsed.measurement), std::move(normalised.measurement)};
}

std::array<MeasurementOverlay, 2> RestoreMeasurementOverlays() {
    std::array<MeasurementOverlay, 2> overlays;
    const QSettings store = Store();
    for (int channel = 0; channel < 2; ++channel) {
        const std::string path = store.value(Key(channel, "Path")).toString().toStdString();
        if (path.empty()) continue;
        const std::optional<Normalisation> normalisation =
            ParseNormalisation(store.value(Key(channel, "Normalise")).toString().toStdString());
        std::string error;
        overlays[static_cast<std::size_t>(channel)] =
            LoadMeasurementOverlay(path, normalisation.value_or(Normalisation{}), error);
    }
    return overlays;
}

void KeepMeasurementOverlay(int channel, const MeasurementOverlay& overlay) {
    QSettings store = Store();
    if (!overlay.Loaded()) {
        store.remove(Key(channel, "Path"));
        store.remove(Key(channel, "Normalise"));
        return;
    }
    store.setValue(Key(channel, "Path"), QString::fromStdString(overlay.path));
    store.setValue(Key(channel, "Normalise"),
                   QString::fromStdString(FormatNormalisation(overlay.normalisation)));
}

}  // namespace arvestra
