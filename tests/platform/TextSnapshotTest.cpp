// The search copy follows edits exactly, re-reading only the changed region.
#include "platform/TextSnapshot.h"

#include <gtest/gtest.h>
#include <random>

namespace {

TEST(TextSnapshot, FollowsRandomEditsReadingOnlyWhatChanged)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 200; ++round) {
        QString document = QString(int(random() % 200), QLatin1Char('x'));
        for (QChar& c : document)
            c = QChar(char16_t(u'a' + random() % 26));
        TextSnapshot snapshot;
        const auto read = [&](qsizetype from, qsizetype to) {
            return document.mid(from, to - from);
        };
        ASSERT_EQ(snapshot.text(document.size(), read), document);
        const int edits = int(random() % 6);
        for (int e = 0; e < edits; ++e) {
            const qsizetype position = random() % (document.size() + 1);
            const qsizetype removed = random() % (document.size() - position + 1) % 5;
            const QString added = QString(int(random() % 4), QChar(char16_t(u'A' + e)));
            document.replace(position, removed, added);
            // The document sometimes reports a change at its end one character longer.
            const bool longer = position + added.size() == document.size() && random() % 2;
            snapshot.noteChange(position, removed + longer, added.size() + longer);
        }
        ASSERT_EQ(snapshot.text(document.size(), read), document) << round;
    }
}

TEST(TextSnapshot, TypingAtOnePlaceRereadsOnlyTheTypedCharacters)
{
    QString document(100000, QLatin1Char('-'));
    TextSnapshot snapshot;
    qsizetype charactersRead = 0;
    const auto read = [&](qsizetype from, qsizetype to) {
        charactersRead += to - from;
        return document.mid(from, to - from);
    };
    snapshot.text(document.size(), read);
    for (int i = 0; i < 50; ++i) {
        document.insert(5000 + i, QLatin1Char('k'));
        snapshot.noteChange(5000 + i, 0, 1);
    }
    charactersRead = 0;
    EXPECT_EQ(snapshot.text(document.size(), read), document);
    EXPECT_EQ(charactersRead, 50);

    snapshot.invalidate();
    charactersRead = 0;
    EXPECT_EQ(snapshot.text(document.size(), read), document);
    EXPECT_EQ(charactersRead, document.size());
}

} // namespace
