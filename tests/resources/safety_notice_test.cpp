#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>

#include "kerf_resources.h"

namespace {

QStringList paragraphs(const QString& text) {
    return text.split(QRegularExpression(QStringLiteral("\\n[ \\t]*\\n")), Qt::SkipEmptyParts);
}

TEST(SafetyNoticeText, HasAboutSixtyShortParagraphs) {
    const QString text = kerf::safety_notice();
    ASSERT_FALSE(text.isEmpty()) << "the notice is missing from the resources";
    const QStringList parts = paragraphs(text);
    EXPECT_GE(parts.size(), 50);
    EXPECT_LE(parts.size(), 70);
    for (const QString& p : parts) {
        EXPECT_FALSE(p.trimmed().isEmpty());
        EXPECT_LE(p.size(), 500) << "a long paragraph: " << p.left(60).toStdString();
        EXPECT_FALSE(p.contains(u'\t'));
    }
    EXPECT_FALSE(text.contains(QStringLiteral("\n\n\n"))) << "one empty line between paragraphs";
    EXPECT_FALSE(text.contains(u'\r'));
}

// The notice covers its points in this order; each phrase must come after the one before it.
TEST(SafetyNoticeText, CoversEveryPointInOrder) {
    struct Point {
        const char* topic;
        const char* phrase;
    };
    const Point points[] = {
        {"understand the risks and tick the box", "tick the box below"},
        {"one part of a home-built machine", "machine that you build yourself"},
        {"the user sees to safety and conformity", "meets the rules"},
        {"operating system", "operating system"},
        {"no safety integrity level", "safety integrity level"},
        {"objects dropped on the keyboard", "dropped on the keyboard"},
        {"accidental click on Continue", "A click on \"Continue\" by accident"},
        {"other programs and drivers", "Other programs and drivers"},
        {"faulty memory", "Faulty memory"},
        {"electromagnetic interference", "Electromagnetic interference"},
        {"other sounds through the sound card", "Other sounds"},
        {"channels in exactly opposite phase", "exactly opposite phase"},
        {"ringing phone used as controller", "ringing call"},
        {"faults of the step-motor driver", "The step-motor driver"},
        {"movement when none is expected", "moves when nobody expects it"},
        {"moving on", "moves on"},
        {"moving too far", "too far"},
        {"clamping for every cut", "Clamp it firmly to the carriage for every single cut"},
        {"switch worked by the operator, discouraged", "We advise against"},
        {"switch worked by the moving part", "worked by the moving part of the machine"},
        {"both together", "Both together"},
        {"cut the power, not the enable line", "enable"},
        {"cost of switches and enclosures", "cost"},
        {"European machine rules", "rules for machinery"},
        {"EMC", "(EMC)"},
        {"explosion protection, sawdust", "explosion protection"},
        {"how the makers use it", "How we use Kerfplanner ourselves"},
        {"fingers far from the blade", "fingers are always far from the blade"},
        {"build the amplifier", "build the amplifier"},
        {"enjoy the program", "enjoy Kerfplanner"},
    };
    const QString text = kerf::safety_notice();
    qsizetype from = 0;
    for (const Point& p : points) {
        const qsizetype at = text.indexOf(QString::fromUtf8(p.phrase), from);
        ASSERT_GE(at, 0) << "missing or out of order: " << p.topic;
        from = at + 1;
    }
    // The invitation is the last paragraph.
    EXPECT_TRUE(paragraphs(text).last().contains(QStringLiteral("enjoy")));
}

}  // namespace
