// Tuning on the EQ pages: a measurement shown under the curve and kept in the settings, the
// fit as one undo step, and the filter import that asks before it changes anything.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "tune/FitCases.h"
#include "tune/TuneSamples.h"
#include "ui/EqPageTestSupport.h"
#include "ui/ShellTestSupport.h"
#include "ui/shell/EditHistory.h"

namespace arvestra {
namespace {

using eqtest::EqPageFixture;

QString WriteFile(const QTemporaryDir& dir, const char* name, const std::string& text) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    std::ofstream(path.toStdString(), std::ios::binary) << text;
    return path;
}

std::string MeasurementText(const Measurement& m) {
    std::string text = "* made up for the test\n";
    char line[64];
    for (std::size_t i = 0; i < m.Hz().size(); ++i) {
        std::snprintf(line, sizeof line, "%.3f\t%.3f\n", m.Hz()[i], m.Db()[i]);
        text += line;
    }
    return text;
}

// Spread of the predicted result over the fit's range, after removing its mean.
double ResultSpread(const OverlayCurves& curves, std::span<const float> hz) {
    double sum = 0.0, squares = 0.0;
    int n = 0;
    for (std::size_t i = 0; i < hz.size(); ++i) {
        if (hz[i] < 40.0f || hz[i] > 16000.0f || std::isnan(curves.resultDb[i])) continue;
        sum += curves.resultDb[i];
        squares += curves.resultDb[i] * curves.resultDb[i];
        ++n;
    }
    return std::sqrt(squares / n - (sum / n) * (sum / n));
}

class EqTuning : public ::testing::Test {
  protected:
    // Channel 1's parametric page shown, with a measurement of the inverse of a random
    // setting (plus noise) written to `path` and loaded under its curve.
    CParametricEqPage& ParametricWithMeasurement(unsigned seed, QString& path) {
        const ParametricCodes truth = fit_cases::RandomParametric(seed);
        path = WriteFile(
            dir, "left.txt",
            MeasurementText(fit_cases::InverseWithNoise(fit_cases::ParametricLevels(truth), seed)));
        f.Doc().Edits().Set(ParamField::EqType, 0, 1);
        f.Open(CommandId::ViewEqA);
        CParametricEqPage& page = f.Parametric();
        QString error;
        EXPECT_TRUE(page.LoadMeasurement(0, path, Normalisation{}, error)) << error.toStdString();
        return page;
    }

    shelltest::ScopedSettings settings;  // before the pages, which restore their overlays
    EqPageFixture f;
    QTemporaryDir dir;
};

TEST_F(EqTuning, AFitIsOneUndoStepThatFlattensThePredictedResult) {
    QString path;
    CParametricEqPage& page = ParametricWithMeasurement(6, path);
    ASSERT_TRUE(page.Overlay(0).Loaded());
    CEditHistory history(f.Doc(), f.harness.view->window());
    const double before = ResultSpread(page.DisplayedOverlay(), page.GridFrequencies());
    const std::vector<uint8_t> image(f.Doc().Edits().Data(), f.Doc().Edits().Data() + 218);

    QString message;
    ASSERT_TRUE(page.FitToMeasurement(CFitDialog::Choices{}, message)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("After:")));
    const double after = ResultSpread(page.DisplayedOverlay(), page.GridFrequencies());
    EXPECT_GE(before, 2.0);
    EXPECT_LE(after, 1.0);
    ASSERT_EQ(history.Stack().count(), 1);
    EXPECT_EQ(history.Stack().undoText(), QStringLiteral("Fit to Measurement"));
    history.Undo();
    EXPECT_EQ(std::vector<uint8_t>(f.Doc().Edits().Data(), f.Doc().Edits().Data() + 218), image);

    // The measurement stays with output 1, in the settings, not in the Location File.
    const std::array<MeasurementOverlay, 2> restored = RestoreMeasurementOverlays();
    EXPECT_EQ(restored[0].path, path.toStdString());
    EXPECT_FALSE(restored[1].Loaded());
    page.ClearMeasurement(0);
    EXPECT_FALSE(RestoreMeasurementOverlays()[0].Loaded());
}

TEST_F(EqTuning, BadMeasurementsAndTargetsChangeNothing) {
    f.Open(CommandId::ViewEqA);
    CGraphicEqPage& page = f.Graphic();
    QString error;
    const QString unordered = WriteFile(dir, "bad.txt", "100 1\n90 2\n");
    EXPECT_FALSE(page.LoadMeasurement(0, unordered, Normalisation{}, error));
    EXPECT_TRUE(error.contains(QStringLiteral("line 2"))) << error.toStdString();
    EXPECT_FALSE(page.Overlay(0).Loaded());
    QString message;
    EXPECT_FALSE(page.FitToMeasurement(CFitDialog::Choices{}, message));  // nothing shown

    const QString good = WriteFile(dir, "good.txt", "20 0\n20000 0\n");
    ASSERT_TRUE(page.LoadMeasurement(0, good, Normalisation{}, error));
    CFitDialog::Choices choices;
    choices.target = CFitDialog::Choices::Target::File;
    choices.targetPath = WriteFile(dir, "target.txt", "no numbers\n");
    const std::vector<uint8_t> image(f.Doc().Edits().Data(), f.Doc().Edits().Data() + 218);
    EXPECT_FALSE(page.FitToMeasurement(choices, message));
    EXPECT_TRUE(message.contains(QStringLiteral("no measurement points")));
    choices.target = CFitDialog::Choices::Target::Flat;
    choices.lowHz = choices.highHz = 1000.0;
    EXPECT_FALSE(page.FitToMeasurement(choices, message));
    EXPECT_TRUE(message.contains(QStringLiteral("is empty")));
    EXPECT_EQ(std::vector<uint8_t>(f.Doc().Edits().Data(), f.Doc().Edits().Data() + 218), image);
}

TEST_F(EqTuning, ImportFiltersAsksFirstWhenALineCannotBeImported) {
    f.Doc().Edits().Set(ParamField::EqType, 0, 1);
    f.Open(CommandId::ViewEqA);
    CParametricEqPage& page = f.Parametric();
    const QString path = WriteFile(dir, "apo.txt", tune_samples::kApoFilters);
    const std::vector<uint8_t> image(f.Doc().Edits().Data(), f.Doc().Edits().Data() + 218);
    QString report;
    QString message;
    const auto decline = [&](const QString& text) {
        report = text;
        return false;
    };
    EXPECT_FALSE(page.ImportFilters(path, decline, message));
    EXPECT_TRUE(report.contains(QStringLiteral("line 4: low shelf"))) << report.toStdString();
    EXPECT_EQ(std::vector<uint8_t>(f.Doc().Edits().Data(), f.Doc().Edits().Data() + 218), image);

    EXPECT_TRUE(page.ImportFilters(
        path, [](const QString&) { return true; }, message));
    EXPECT_TRUE(message.contains(QStringLiteral("2 filter(s)"))) << message.toStdString();
    EXPECT_NE(f.Doc().Edits().Get(ParamField::EqParamGain, 0, 0), 97);
    EXPECT_EQ(f.Doc().Edits().Get(ParamField::EqParamGain, 0, 2), 97);
}

// A fitted parametric page with its measurement, for the documentation (written only when
// ARVESTRA_SCREENSHOT_DIR names a directory).
TEST_F(EqTuning, ScreenshotOfAFittedPage) {
    QString path;
    CParametricEqPage& page = ParametricWithMeasurement(2, path);
    QString message;
    ASSERT_TRUE(page.FitToMeasurement(CFitDialog::Choices{}, message));
    f.harness.view->window()->resize(f.harness.view->size());
    test::FlushEvents();
    const QString directory = qEnvironmentVariable("ARVESTRA_SCREENSHOT_DIR");
    if (directory.isEmpty()) return;
    QDir().mkpath(directory);
    EXPECT_TRUE(f.harness.view->grab().save(QDir(directory).filePath("parametric-eq-fitted.png")));
}

}  // namespace
}  // namespace arvestra
