// The remote page in a real browser (opt-in, see DevToolsBrowser.h): the page served by
// "arvestra-cli serve" loads, a graphic EQ slider and a parametric point are moved with the
// mouse, and the document (through its state and the saved file) and the simulated device
// receive the change. With ARVESTRA_SCREENSHOT_DIR set, the page is shot at phone and tablet
// sizes.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "model/ParamField.h"
#include "remote/DevToolsBrowser.h"
#include "remote/ServeSupport.h"

namespace arvestra::remote {
namespace {

using cli_it::SavedLocation;
using cli_it::SimulatedBus;
using cli_it::TestDirectory;

struct Rect {
    double left = 0, top = 0, width = 0, height = 0;
};

Rect RectOf(test::DevToolsBrowser& browser, const char* id) {
    const QJsonObject r =
        QJsonDocument::fromJson(browser
                                    .Evaluate(QStringLiteral("JSON.stringify(document."
                                                             "getElementById('%1')."
                                                             "getBoundingClientRect())")
                                                  .arg(id))
                                    .toString()
                                    .toUtf8())
            .object();
    return {r.value("left").toDouble(), r.value("top").toDouble(), r.value("width").toDouble(),
            r.value("height").toDouble()};
}

void SaveShot(test::DevToolsBrowser& browser, const QString& name, bool fullPage) {
    const QString directory = qEnvironmentVariable("ARVESTRA_SCREENSHOT_DIR");
    if (directory.isEmpty()) return;
    const QByteArray png = browser.Screenshot(fullPage);
    ASSERT_TRUE(png.startsWith("\x89PNG")) << name.toStdString();
    QDir().mkpath(directory);
    QFile file(directory + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(png);
}

// Scrolls an element into view (the phone's page is longer than its screen).
void Reveal(test::DevToolsBrowser& browser, const char* id) {
    browser.Evaluate(
        QStringLiteral("document.getElementById('%1').scrollIntoView({block:'center'})").arg(id));
}

TEST(BrowserPage, ASliderAndACurvePointMovedInTheBrowserReachTheDocumentAndTheDevice) {
    if (!test::DevToolsBrowser::Wanted()) GTEST_SKIP() << "set ARVESTRA_BROWSER_TESTS=1";
    TestDirectory dir;
    SimulatedBus bus(dir, "1,3");
    ASSERT_FALSE(bus.Port().empty());
    const std::string file = dir.File("browser.kvx");
    // Channel 1's output is fed through its equaliser, so the response shows the bands.
    const cli_it::CliRun route = cli_it::RunCli({"set", "--port", bus.Port(), file, "--address",
                                                 "1", "ch1.eq.source=1", "ch1.output.source=3"});
    ASSERT_EQ(route.status, 0) << route.err;
    QProcess serve;
    const QUrl page = test::StartServe(serve, bus, file, {}, true);
    ASSERT_EQ(page.scheme(), "https") << serve.readAllStandardError().toStdString();

    test::DevToolsBrowser browser;
    QString error;
    ASSERT_TRUE(browser.Start(page.toString(), 390, 844, &error)) << error.toStdString();
    browser.Emulate(390, 844, 2, true);
    ASSERT_TRUE(test::RunUntil(
        [&] { return browser.Evaluate("!!(window.remotePage && remotePage.live())").toBool(); },
        15000));
    // A page of our own watches what the document holds.
    test::PageClient watcher(static_cast<quint16>(page.port()), test::CodeOf(page), true);
    ASSERT_TRUE(watcher.WaitConnected());
    QJsonObject before;
    ASSERT_TRUE(watcher.WaitFor("state", {}, &before));
    SaveShot(browser, "remote-phone.png", false);
    // The code has left the address bar (and the history).
    EXPECT_FALSE(browser.Evaluate("location.href").toString().contains("code="));

    // Graphic EQ band 13 (index 12) drawn up to near the top of the graph.
    Reveal(browser, "geq");
    const Rect geq = RectOf(browser, "geq");
    const double bandX = geq.left + geq.width * (12.5 / 31.0);
    browser.Drag(bandX, geq.top + geq.height / 2, bandX, geq.top + 10);
    QJsonObject raised;
    ASSERT_TRUE(watcher.WaitFor(
        "state",
        [](const QJsonObject& s) { return test::StateCode(s, 0, "eq.graphic_gain", 12) >= 55; },
        &raised));
    // The drag's last move is the value that stays.
    test::RunUntil([] { return false; }, 300);
    const int gain = test::StateCode(watcher.Last("state"), 0, "eq.graphic_gain", 12);
    const int gainOffset = FieldOffset(ParamField::EqGraphicGain, kChannelA, 12);
    EXPECT_TRUE(test::RunUntil([&] { return test::BusHasWrite(bus, 1, gainOffset, gain); }, 3000));

    // Parametric band 1's point dragged right and up, with the parametric equaliser in use.
    browser.Evaluate("document.getElementById('eqType').click()");
    ASSERT_TRUE(watcher.WaitFor(
        "state", [](const QJsonObject& s) { return test::StateCode(s, 0, "eq.type") == 1; }));
    Reveal(browser, "peq");
    const QJsonObject point = browser.Evaluate("remotePage.pointAt(0)").toObject();
    const double x = point.value("x").toDouble(), y = point.value("y").toDouble();
    const int frequencyBefore = test::StateCode(before, 0, "eq.param_frequency", 0);
    const int gainBefore = test::StateCode(before, 0, "eq.param_gain", 0);
    browser.Drag(x, y, x + 80, y - 40);
    QJsonObject moved;
    ASSERT_TRUE(watcher.WaitFor(
        "state",
        [&](const QJsonObject& s) {
            return test::StateCode(s, 0, "eq.param_frequency", 0) > frequencyBefore &&
                   test::StateCode(s, 0, "eq.param_gain", 0) > gainBefore;
        },
        &moved));
    test::RunUntil([] { return false; }, 300);
    const int peqGain = test::StateCode(watcher.Last("state"), 0, "eq.param_gain", 0);
    const int peqOffset = FieldOffset(ParamField::EqParamGain, kChannelA, 0);
    EXPECT_TRUE(
        test::RunUntil([&] { return test::BusHasWrite(bus, 1, peqOffset, peqGain); }, 3000));
    // The response served with the state shows the boost.
    double peak = -100;
    for (const QJsonValue db : watcher.Last("state").value("resp").toArray().at(0).toArray()) {
        peak = std::max(peak, db.toDouble());
    }
    EXPECT_GT(peak, 2.0);
    EXPECT_TRUE(watcher.Last("state").value("eq_in_path").toArray().at(0).toBool());
    SaveShot(browser, "remote-phone-eq.png", false);

    browser.Emulate(1280, 800, 1, false);
    browser.Evaluate("window.scrollTo(0,0)");
    test::RunUntil([] { return false; }, 300);  // the page lays itself out anew
    SaveShot(browser, "remote-tablet.png", false);

    ASSERT_TRUE(test::StopServe(serve)) << serve.readAllStandardError().toStdString();
    const SavedLocation saved(file);
    EXPECT_EQ(saved.Image(1, 0)[static_cast<std::size_t>(gainOffset)], gain);
    EXPECT_EQ(saved.Image(1, 0)[static_cast<std::size_t>(peqOffset)] & 0x7F, peqGain);
}

}  // namespace
}  // namespace arvestra::remote
