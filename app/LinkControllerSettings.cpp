// The link's inputs in the settings file and on "Reset": loops over the
// table of inputs.
#include "app/LinkController.h"

#include "app/pages/PageTools.h"
#include "geo/Path.h"
#include "settings/SettingsFile.h"

#include <array>
#include <string_view>

namespace kestrova {
namespace {

const std::array<SetupNumber, 18> numbers{{
    {&limits::frequency, &LinkSetup::frequency},
    {&limits::txHeight, &LinkSetup::txHeight},
    {&limits::rxHeight, &LinkSetup::rxHeight},
    {&limits::percent, &LinkSetup::percent},
    {&limits::metric, &LinkSetup::metric},
    {&limits::temperature, &LinkSetup::temperature},
    {&limits::pressure, &LinkSetup::pressure},
    {&limits::humidity, &LinkSetup::humidity},
    {&limits::forcedKFactor, &LinkSetup::forcedK},
    {&limits::kFactor, &LinkSetup::kFactor},
    {&limits::locatorFormat, &LinkSetup::locatorFormat},
    {&limits::range, &LinkSetup::range},
    {&limits::bearing, &LinkSetup::bearing},
    {&limits::startEndInput, &LinkSetup::startEndInput},
    {&limits::edition, &LinkSetup::edition},
    {&limits::polarisation, &LinkSetup::polarisation},
    {&limits::txGain, &LinkSetup::txGain},
    {&limits::rxGain, &LinkSetup::rxGain},
}};

// The sections the link's inputs are kept in, in the file's order.
constexpr std::string_view sections[] = {"LinkData", "Locator", "Edition"};

// A switch reads as any integer, nonzero for "on", as it always has; a
// choice within its limits; a real within its limits.
double ReadNumber(const SettingsFile& ini, const InputLimit& limit,
                  std::vector<std::string>& notes) {
    if (!limit.integerEdit || limit.field)
        return ini.GetLimitedReal(limit.settingsKey, limit.minimum, limit.maximum, limit.initial,
                                  notes);
    const int initial = static_cast<int>(limit.initial);
    if (limit.minimum == 0.0 && limit.maximum == 1.0)
        return ini.GetInt(limit.settingsKey, initial) != 0 ? 1.0 : 0.0;
    if (&limit == &limits::edition) return ini.GetInt(limit.settingsKey, initial) == 18 ? 18 : 14;
    return ini.GetLimitedInt(limit.settingsKey, static_cast<int>(limit.minimum),
                             static_cast<int>(limit.maximum), initial, notes);
}

QString NumberText(const InputLimit& limit, double value) {
    if (limit.integerEdit && !limit.field) return QString::number(static_cast<int>(value));
    return QString::number(value, 'f', 6); // printf's "%f", C locale
}

QString Comment(const InputLimit& limit) {
    QString text = QString::fromUtf8(limit.description);
    if (*limit.unit) text += QStringLiteral(", ") + QString::fromUtf8(limit.unit);
    return text;
}

} // namespace

std::span<const SetupNumber> SetupNumbers() {
    return numbers;
}

void TLinkController::Reset() {
    for (const SetupNumber& number : SetupNumbers())
        setup.*(number.member) = number.limit->reset;
    setup.interpolate = false;
    setup.flatEarth = false;
    // The default link, from the NGR of its transmitter to a locator.
    state.txLocation = CLocator(std::string("SU374616"), FormatNGR);
    state.rxLocation = CLocator(std::string("IO91IO44"), FormatMaidenhead);
    CPath path;
    path.SetPath(state.txLocation, state.rxLocation);
    path.GetRangeBearing(setup.range, setup.bearing);
    setup.startText = state.txLocation.GetMaidenhead(10);
    setup.endText = state.rxLocation.GetMaidenhead(10);
    Q_EMIT Changed();
}

void TLinkController::ReadSettings(const SettingsFile& ini, std::vector<std::string>& notes) {
    for (const SetupNumber& number : SetupNumbers())
        setup.*(number.member) = ReadNumber(ini, *number.limit, notes);
    // A location missing from the file starts the link in the middle of the
    // default terrain tile. The texts are taken whole: a degrees, minutes and
    // seconds location is longer than 19 characters.
    const int format = setup.Format();
    state.txLocation = CLocator(ini.GetString("Locator:StartLocator", "IO91IN"), format);
    state.rxLocation = CLocator(ini.GetString("Locator:EndLocator", "IO91IO"), format);
    setup.startText = LocationText(state.txLocation, format, shownPrecision).toStdString();
    setup.endText = LocationText(state.rxLocation, format, shownPrecision).toStdString();
    setup.interpolate = false;
    Q_EMIT Changed();
}

QString TLinkController::SettingsText() const {
    QString text;
    for (const std::string_view section : sections) {
        text += QStringLiteral("[%1]\n").arg(QString::fromLatin1(section.data(), section.size()));
        for (const SetupNumber& number : SetupNumbers()) {
            const InputLimit& limit = *number.limit;
            if (limit.Section() != section) continue;
            const std::string_view key = limit.Key();
            text += QStringLiteral("%1 = %2; # %3\n")
                        .arg(QString::fromLatin1(key.data(), key.size()),
                             NumberText(limit, setup.*(number.member)), Comment(limit));
        }
        if (section == "Locator")
            text += QStringLiteral("StartLocator = %1; \nEndLocator = %2; \n")
                        .arg(QString::fromStdString(setup.startText),
                             QString::fromStdString(setup.endText));
        text += QStringLiteral("#\n");
    }
    return text;
}

} // namespace kestrova
