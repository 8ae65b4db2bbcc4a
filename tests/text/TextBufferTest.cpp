// The text buffer: lines and CR LF positions across edits, undo steps, the clean state, search.
#include "text/TextBuffer.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <random>

namespace {

struct Line
{
    QString text;
    int breakLength;
    bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Line& line)
{
    return out << '"' << line.text.toStdString() << "\"+" << line.breakLength;
}

// UTF-16 units in hex, for failure messages.
std::string unitsOf(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)
        .toHex(' ')
        .toStdString();
}

std::vector<Line> linesOf(const TextBuffer& buffer)
{
    std::vector<Line> lines;
    for (qsizetype line = 0; line < buffer.lineCount(); ++line)
        lines.push_back(Line{buffer.lineText(line), buffer.lineBreakLength(line)});
    return lines;
}

// Starts of the lines of `text` by the rule: after LF, after a CR not followed by LF.
std::vector<qsizetype> modelStarts(const QString& text)
{
    std::vector<qsizetype> starts{0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' ||
            (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            starts.push_back(i + 1);
    }
    return starts;
}

// Every break as CR LF.
QString crlfForm(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        if (text[i] == u'\r' || text[i] == u'\n')
            out += u"\r\n"_qs;
        else
            out += text[i];
    }
    return out;
}

// The CR LF position of every raw position, by walking the text.
std::vector<qsizetype> modelCrlfPositions(const QString& text)
{
    std::vector<qsizetype> crlf;
    qsizetype c = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        crlf.push_back(c);
        const bool single =
            i < text.size() &&
            (text[i] == u'\n' ? (i == 0 || text[i - 1] != u'\r')
                              : text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'));
        c += single ? 2 : 1;
    }
    return crlf;
}

// The first match wholly in [from, to) and its end: searched in the CR LF form, where every break
// of the text and of the needle reads alike.
std::pair<qsizetype, qsizetype> modelMatch(const QString& text, const QString& needle,
                                           qsizetype from, qsizetype to, Qt::CaseSensitivity cs)
{
    if (needle.isEmpty())
        return {-1, -1};
    const QString crlfText = crlfForm(text);
    const QString crlfNeedle = crlfForm(needle);
    const std::vector<qsizetype> crlf = modelCrlfPositions(text);
    for (qsizetype hit = crlfText.indexOf(crlfNeedle, crlf[from], cs); hit >= 0;
         hit = crlfText.indexOf(crlfNeedle, hit + 1, cs)) {
        const auto start = std::find(crlf.begin(), crlf.end(), hit);
        const auto end = std::find(crlf.begin(), crlf.end(), hit + crlfNeedle.size());
        if (start == crlf.end() || end == crlf.end())
            continue;
        if (start - crlf.begin() >= from && end - crlf.begin() <= to)
            return {start - crlf.begin(), end - crlf.begin()};
    }
    return {-1, -1};
}

qsizetype modelFind(const QString& text, const QString& needle, qsizetype from, qsizetype to,
                    Qt::CaseSensitivity cs)
{
    return modelMatch(text, needle, from, to, cs).first;
}

void expectMatchesModel(const TextBuffer& buffer, const QString& model)
{
    ASSERT_EQ(buffer.text(), model);
    ASSERT_EQ(buffer.length(), model.size());
    const std::vector<qsizetype> starts = modelStarts(model);
    ASSERT_EQ(buffer.lineCount(), qsizetype(starts.size()));
    for (qsizetype line = 0; line < qsizetype(starts.size()); ++line)
        ASSERT_EQ(buffer.lineStart(line), starts[line]) << "line " << line;
    const std::vector<qsizetype> crlf = modelCrlfPositions(model);
    ASSERT_EQ(buffer.crlfLength(), crlf.back());
    qsizetype line = 0;
    for (qsizetype pos = 0; pos <= model.size(); ++pos) {
        while (line + 1 < qsizetype(starts.size()) && starts[line + 1] <= pos)
            ++line;
        ASSERT_EQ(buffer.lineAt(pos), line) << "pos " << pos;
        ASSERT_EQ(buffer.toCrlf(pos), crlf[pos]) << "pos " << pos;
        // Between the CR and the LF of a CR LF is, as a CR LF position, inside the break.
        const bool insideBreak =
            pos > 0 && pos < model.size() && model[pos - 1] == u'\r' && model[pos] == u'\n';
        ASSERT_EQ(buffer.fromCrlf(crlf[pos]), insideBreak ? pos - 1 : pos) << "pos " << pos;
        // The second half of a one-character break, as counted, is inside it too.
        if (pos < model.size() && crlf[pos + 1] == crlf[pos] + 2) {
            ASSERT_EQ(buffer.fromCrlf(crlf[pos] + 1), pos) << "pos " << pos;
        }
    }
}

struct LinesCase
{
    const char* name;
    QString text;
    std::vector<Line> lines;
};

TEST(TextBufferTest, LinesEndAtCrLfLfAndLoneCrOnly)
{
    const std::vector<LinesCase> cases = {
        {"empty", u""_qs, {{u""_qs, 0}}},
        {"lone CR", u"a\rb"_qs, {{u"a"_qs, 1}, {u"b"_qs, 0}}},
        {"CR LF", u"a\r\nb"_qs, {{u"a"_qs, 2}, {u"b"_qs, 0}}},
        {"LF CR is two breaks", u"a\n\rb"_qs, {{u"a"_qs, 1}, {u""_qs, 1}, {u"b"_qs, 0}}},
        {"ends in CR", u"a\r"_qs, {{u"a"_qs, 1}, {u""_qs, 0}}},
        {"CR CR LF", u"\r\r\n"_qs, {{u""_qs, 1}, {u""_qs, 2}, {u""_qs, 0}}},
        {"NUL, separators and noncharacters are text",
         QString::fromUtf16(u"a\0b\u2028c\u2029d\uFDD0\uFDD1", 9),
         {{QString::fromUtf16(u"a\0b\u2028c\u2029d\uFDD0\uFDD1", 9), 0}}},
        {"surrogate pair",
         u"\U00010400\n\U00010428"_qs,
         {{u"\U00010400"_qs, 1}, {u"\U00010428"_qs, 0}}},
    };
    for (const LinesCase& c : cases) {
        TextBuffer buffer;
        buffer.setText(c.text);
        EXPECT_EQ(linesOf(buffer), c.lines) << c.name;
        expectMatchesModel(buffer, c.text);
    }
}

struct EditCase
{
    const char* name;
    QString before;
    qsizetype pos;
    qsizetype removed;
    QString inserted;
    std::vector<Line> lines;
};

TEST(TextBufferTest, EditsJoinAndSplitCrLfPairs)
{
    const std::vector<EditCase> cases = {
        {"insert between CR and LF",
         u"a\r\nb"_qs,
         2,
         0,
         u"x"_qs,
         {{u"a"_qs, 1}, {u"x"_qs, 1}, {u"b"_qs, 0}}},
        {"CR inserted before LF", u"a\nb"_qs, 1, 0, u"\r"_qs, {{u"a"_qs, 2}, {u"b"_qs, 0}}},
        {"LF of CR LF deleted", u"a\r\nb"_qs, 2, 1, u""_qs, {{u"a"_qs, 1}, {u"b"_qs, 0}}},
        {"CR of CR LF deleted", u"a\r\nb"_qs, 1, 1, u""_qs, {{u"a"_qs, 1}, {u"b"_qs, 0}}},
        {"text between CR and LF deleted",
         u"a\rxy\nb"_qs,
         2,
         2,
         u""_qs,
         {{u"a"_qs, 2}, {u"b"_qs, 0}}},
        {"LF appended after a final CR", u"a\r"_qs, 2, 0, u"\n"_qs, {{u"a"_qs, 2}, {u""_qs, 0}}},
        {"CR LF replaced by CR CR",
         u"a\r\nb"_qs,
         2,
         1,
         u"\r"_qs,
         {{u"a"_qs, 1}, {u""_qs, 1}, {u"b"_qs, 0}}},
        {"everything removed", u"a\r\n\rb"_qs, 0, 5, u""_qs, {{u""_qs, 0}}},
    };
    for (const EditCase& c : cases) {
        TextBuffer buffer;
        buffer.setText(c.before);
        // Move the gap away first, so that the edit also moves it.
        buffer.insert(0, u"z"_qs);
        buffer.remove(0, 1);
        buffer.replace(c.pos, c.removed, c.inserted);
        EXPECT_EQ(linesOf(buffer), c.lines) << c.name;
        QString model = c.before;
        model.replace(c.pos, c.removed, c.inserted);
        expectMatchesModel(buffer, model);
    }
}

TEST(TextBufferTest, LargeInsertsBeforeAndAfterTheGap)
{
    auto lines = [](qsizetype count, char16_t letter) {
        QString text;
        for (qsizetype i = 0; i < count; ++i)
            text += QString(i % 7, QChar(letter)) + (i % 3 ? u"\n"_qs : u"\r\n"_qs);
        return text;
    };
    QString model = lines(1000, u'a');
    TextBuffer buffer;
    buffer.setText(model);
    // (position, inserted), each larger than the gap: before the gap at the end, before the gap
    // in the middle, after it.
    const std::vector<std::pair<qsizetype, QString>> edits = {
        {700, lines(2000, u'b')}, {10, lines(5000, u'c')}, {30000, lines(8000, u'd')}};
    for (const auto& [pos, inserted] : edits) {
        buffer.insert(pos, inserted);
        model.insert(pos, inserted);
        expectMatchesModel(buffer, model);
        // The gap to the middle, with text on both sides of it.
        buffer.insert(model.size() / 2, u"\r"_qs);
        model.insert(model.size() / 2, u"\r"_qs);
    }
    expectMatchesModel(buffer, model);
}

TEST(TextBufferTest, InsertingABorrowedViewOfItsOwnText)
{
    TextBuffer buffer;
    buffer.setText(u"abc\ndef"_qs);
    const QStringView chunk = buffer.chunkAt(4);
    buffer.insert(0, QString::fromRawData(chunk.data(), chunk.size()));
    EXPECT_EQ(buffer.text(), u"defabc\ndef"_qs);
    buffer.insert(11, u"!"_qs);
    buffer.undo();
    buffer.undo();
    buffer.redo();
    EXPECT_EQ(buffer.text(), u"defabc\ndef"_qs);
}

TEST(TextBufferTest, CrlfPositionInsideABreakIsTheEndOfItsLine)
{
    TextBuffer buffer;
    buffer.setText(u"ab\ncd\r\ne"_qs);
    // "ab" CR LF "cd" CR LF "e": the CR LF positions 3 and 7 lie inside breaks.
    EXPECT_EQ(buffer.crlfLength(), 9);
    EXPECT_EQ(buffer.fromCrlf(3), 2);
    EXPECT_EQ(buffer.fromCrlf(4), 3);
    EXPECT_EQ(buffer.fromCrlf(7), 5);
    EXPECT_EQ(buffer.fromCrlf(8), 7);
    EXPECT_EQ(buffer.toCrlf(6), 7); // between the text's own CR and LF
    EXPECT_EQ(buffer.fromCrlf(-5), 0);
    EXPECT_EQ(buffer.fromCrlf(100), 8);
}

TEST(TextBufferTest, LoadingAdoptsTheStringWithoutACopy)
{
    QString text = QString(1000, u'x') + u"\r\n"_qs;
    const QChar* data = text.constData();
    TextBuffer buffer;
    buffer.setText(std::move(text));
    EXPECT_EQ(buffer.chunkAt(0).data(), data);
    EXPECT_EQ(buffer.chunkAt(0).size(), 1002);
}

// Typing, as a view sends it: one character or one erased character at a time.
struct Key
{
    enum { Type, Backspace, Delete, Break, Click } action;
    QString text;
    qsizetype pos = -1;
};

struct TypingCase
{
    const char* name;
    std::vector<Key> keys;
    // The text after each undo, back to the start.
    std::vector<QString> undone;
};

void press(TextBuffer& buffer, qsizetype& caret, const Key& key)
{
    if (key.pos >= 0)
        caret = key.pos;
    switch (key.action) {
    case Key::Type:
        for (QChar c : key.text) {
            buffer.insert(caret, QString(c), TextBuffer::EditKind::Typing);
            ++caret;
        }
        break;
    case Key::Backspace:
        buffer.remove(--caret, 1, TextBuffer::EditKind::Typing);
        break;
    case Key::Delete:
        buffer.remove(caret, 1, TextBuffer::EditKind::Typing);
        break;
    case Key::Break:
        buffer.breakTyping();
        break;
    case Key::Click:
        break;
    }
}

TEST(TextBufferTest, TypingUndoesOneWordAtATime)
{
    const std::vector<TypingCase> cases = {
        {"words", {{Key::Type, u"hello world"_qs}}, {u"hello "_qs, u""_qs}},
        {"punctuation", {{Key::Type, u"a, b.c"_qs}}, {u"a, b."_qs, u"a, "_qs, u""_qs}},
        {"line break",
         {{Key::Type, u"ab\ncd\n\nx"_qs}},
         {u"ab\ncd\n\n"_qs, u"ab\ncd\n"_qs, u"ab\n"_qs, u""_qs}},
        {"typing then erasing",
         {{Key::Type, u"abc"_qs}, {Key::Backspace, {}}, {Key::Backspace, {}}, {Key::Type, u"x"_qs}},
         {u"a"_qs, u"abc"_qs, u""_qs}},
        {"delete forward merges",
         {{Key::Type, u"abcd"_qs}, {Key::Delete, {}, 0}, {Key::Delete, {}}},
         {u"abcd"_qs, u""_qs}},
        {"break",
         {{Key::Type, u"ab"_qs}, {Key::Break, {}}, {Key::Type, u"cd"_qs}},
         {u"ab"_qs, u""_qs}},
        {"not adjacent", {{Key::Type, u"ab"_qs}, {Key::Type, u"c"_qs, 0}}, {u"ab"_qs, u""_qs}},
    };
    for (const TypingCase& c : cases) {
        TextBuffer buffer;
        qsizetype caret = 0;
        for (const Key& key : c.keys)
            press(buffer, caret, key);
        for (const QString& expected : c.undone) {
            EXPECT_GE(buffer.undo(), 0) << c.name;
            EXPECT_EQ(buffer.text(), expected) << c.name;
        }
        EXPECT_FALSE(buffer.canUndo()) << c.name;
    }
}

TEST(TextBufferTest, UndoAndRedoReturnTheCaret)
{
    TextBuffer buffer;
    buffer.setText(u"0123456789"_qs);
    buffer.replace(2, 3, u"ab"_qs);
    EXPECT_EQ(buffer.undo(), 5);
    EXPECT_EQ(buffer.text(), u"0123456789"_qs);
    EXPECT_EQ(buffer.redo(), 4);
    buffer.remove(0, 2);
    EXPECT_EQ(buffer.undo(), 2);
    EXPECT_EQ(buffer.undo(), 5);
    EXPECT_EQ(buffer.undo(), -1);
}

TEST(TextBufferTest, ContentsChangeReportsEveryEditAndItsUndo)
{
    TextBuffer buffer;
    buffer.setText(u"one two"_qs);
    QSignalSpy changes(&buffer, &TextBuffer::contentsChange);
    QSignalSpy undoable(&buffer, &TextBuffer::undoAvailable);
    QSignalSpy redoable(&buffer, &TextBuffer::redoAvailable);
    buffer.replace(4, 3, u"three"_qs);
    buffer.remove(100, 5); // nothing there: no edit, no signal
    buffer.replaceAll(u"e"_qs, u"E"_qs, 0, buffer.length(), Qt::CaseSensitive);
    buffer.undo();
    buffer.undo();
    buffer.setText(u"x"_qs);
    const QList<QList<QVariant>> expected = {{4, 3, 5}, {2, 7, 7}, {2, 7, 7}, {4, 5, 3}, {0, 7, 1}};
    ASSERT_EQ(changes.size(), expected.size());
    for (qsizetype i = 0; i < changes.size(); ++i) {
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(changes.at(i).at(k).toLongLong(), expected[i][k].toLongLong()) << i;
    }
    ASSERT_EQ(undoable.size(), 2);
    EXPECT_TRUE(undoable.at(0).at(0).toBool());
    EXPECT_FALSE(undoable.at(1).at(0).toBool());
    ASSERT_EQ(redoable.size(), 2);
    EXPECT_TRUE(redoable.at(0).at(0).toBool());
    EXPECT_FALSE(redoable.at(1).at(0).toBool());
}

TEST(TextBufferTest, TypingOverASelectionIsOneStepWithTheWordTyped)
{
    TextBuffer buffer;
    buffer.setText(u"say hello"_qs);
    buffer.replace(4, 5, u"b"_qs, TextBuffer::EditKind::Typing);
    buffer.insert(5, u"y"_qs, TextBuffer::EditKind::Typing);
    buffer.insert(6, u"e"_qs, TextBuffer::EditKind::Typing);
    EXPECT_EQ(buffer.text(), u"say bye"_qs);
    EXPECT_EQ(buffer.undo(), 9);
    EXPECT_EQ(buffer.text(), u"say hello"_qs);
    EXPECT_FALSE(buffer.canUndo());
}

TEST(TextBufferTest, GroupsAndReplaceAllAreOneStep)
{
    TextBuffer buffer;
    buffer.setText(u"one two one"_qs);
    buffer.beginEditGroup();
    buffer.insert(0, u"<"_qs);
    buffer.beginEditGroup();
    buffer.insert(buffer.length(), u">"_qs, TextBuffer::EditKind::Typing);
    buffer.endEditGroup();
    buffer.endEditGroup();
    EXPECT_EQ(buffer.replaceAll(u"ONE"_qs, u"1"_qs, 0, buffer.length()), 2);
    EXPECT_EQ(buffer.text(), u"<1 two 1>"_qs);
    buffer.undo();
    EXPECT_EQ(buffer.text(), u"<one two one>"_qs);
    buffer.undo();
    EXPECT_EQ(buffer.text(), u"one two one"_qs);
    EXPECT_FALSE(buffer.canUndo());
    buffer.redo();
    buffer.redo();
    EXPECT_EQ(buffer.text(), u"<1 two 1>"_qs);
    // Matches outside the range stay; no match, no step.
    EXPECT_EQ(buffer.replaceAll(u"1"_qs, u"one"_qs, 1, 7), 1);
    EXPECT_EQ(buffer.text(), u"<one two 1>"_qs);
    EXPECT_EQ(buffer.replaceAll(u"zzz"_qs, u""_qs, 0, buffer.length()), 0);
    buffer.undo();
    EXPECT_EQ(buffer.text(), u"<1 two 1>"_qs);
}

TEST(TextBufferTest, ModifiedFollowsTheCleanState)
{
    TextBuffer buffer;
    QSignalSpy modified(&buffer, &TextBuffer::modificationChanged);
    buffer.setText(u"abc"_qs);
    EXPECT_FALSE(buffer.isModified());
    buffer.insert(3, u"d"_qs, TextBuffer::EditKind::Typing);
    EXPECT_TRUE(buffer.isModified());
    buffer.undo();
    EXPECT_FALSE(buffer.isModified());
    buffer.redo();
    EXPECT_TRUE(buffer.isModified());
    ASSERT_EQ(modified.size(), 3);
    EXPECT_EQ(modified.at(2).at(0).toBool(), true);

    // Typing after a save does not merge into the saved step.
    buffer.setModified(false);
    buffer.insert(4, u"e"_qs, TextBuffer::EditKind::Typing);
    EXPECT_TRUE(buffer.isModified());
    buffer.undo();
    EXPECT_EQ(buffer.text(), u"abcd"_qs);
    EXPECT_FALSE(buffer.isModified());
    buffer.undo();
    EXPECT_TRUE(buffer.isModified());

    // An edit after undoing makes the undone clean state unreachable.
    buffer.insert(0, u"x"_qs);
    buffer.undo();
    EXPECT_EQ(buffer.text(), u"abc"_qs);
    EXPECT_TRUE(buffer.isModified());

    // setModified(true): no state is clean; setText: the new text is.
    buffer.setModified(false);
    buffer.setModified(true);
    EXPECT_TRUE(buffer.isModified());
    buffer.setText(u"new"_qs);
    EXPECT_FALSE(buffer.isModified());
    EXPECT_FALSE(buffer.canUndo());
}

// Marked clean in the middle of an edit group: the group's later edits are changes, and undoing
// them comes back to the clean state.
TEST(TextBufferTest, CleanInsideAnEditGroupKeepsLaterEditsOfTheGroupModified)
{
    TextBuffer buffer;
    buffer.setText(u"abc"_qs);
    buffer.beginEditGroup();
    buffer.insert(0, u"x"_qs);
    buffer.setModified(false);
    EXPECT_FALSE(buffer.isModified());
    buffer.insert(0, u"y"_qs);
    EXPECT_TRUE(buffer.isModified());
    buffer.endEditGroup();
    EXPECT_TRUE(buffer.isModified());
    buffer.undo();
    EXPECT_EQ(buffer.text(), u"xabc"_qs);
    EXPECT_FALSE(buffer.isModified());
    buffer.undo();
    EXPECT_EQ(buffer.text(), u"abc"_qs);
    EXPECT_TRUE(buffer.isModified());
}

struct FindCase
{
    const char* name;
    QString text;
    QString needle;
    qsizetype from;
    qsizetype to;
    qsizetype expected;
};

TEST(TextBufferTest, FindMatchesBreaksAndFoldsCase)
{
    const std::vector<FindCase> cases = {
        {"case folded Cyrillic", u"ёлка Ёлка"_qs, u"ЁЛКА"_qs, 1, 9, 5},
        {"touching the range end", u"abcabc"_qs, u"bc"_qs, 2, 6, 4},
        {"one past the range end", u"abcabc"_qs, u"bc"_qs, 2, 5, -1},
        {"match begins at from", u"abcabc"_qs, u"ab"_qs, 3, 6, 3},
        {"LF matches CR LF", u"x\r\ny"_qs, u"x\ny"_qs, 0, 4, 0},
        {"CR LF matches lone CR", u"x\ry"_qs, u"X\r\nY"_qs, 0, 3, 0},
        {"break needle", u"ab\r\n\ncd"_qs, u"\n\r"_qs, 0, 7, 2},
        {"no half of a CR LF", u"a\r\nb"_qs, u"\nb"_qs, 0, 4, 1},
        {"not the LF of a CR LF", u"a\r\nb"_qs, u"\nb"_qs, 2, 4, -1},
        {"break at the end is whole", u"a\r\nb"_qs, u"a\r"_qs, 0, 2, -1},
        {"surrogate pair folded", u"x\U00010400y"_qs, u"\U00010428Y"_qs, 0, 4, 1},
        {"empty needle", u"abc"_qs, u""_qs, 0, 3, -1},
    };
    for (const FindCase& c : cases) {
        TextBuffer buffer;
        buffer.setText(c.text);
        EXPECT_EQ(buffer.find(c.needle, c.from, c.to), c.expected) << c.name;
        EXPECT_EQ(modelFind(c.text, c.needle, c.from, c.to, Qt::CaseInsensitive), c.expected)
            << c.name << " (model)";
    }
}

TEST(TextBufferTest, FindReadsAcrossTheGap)
{
    TextBuffer buffer;
    buffer.setText(QString(5000, u'.') + u"needle"_qs + QString(5000, u'.'));
    // Inserting and removing in the middle of the word leaves the gap inside it.
    buffer.insert(5003, u"x"_qs);
    buffer.remove(5003, 1);
    ASSERT_LT(buffer.chunkAt(5000).size(), 6);
    EXPECT_EQ(buffer.find(u"NEEDLE", 0, buffer.length()), 5000);
    EXPECT_EQ(buffer.find(u"needle", 5001, buffer.length()), -1);
    EXPECT_EQ(buffer.find(u"needle", 0, 5005), -1);
    EXPECT_EQ(buffer.find(u"Needle", 0, buffer.length(), Qt::CaseSensitive), -1);
}

// Random edits, undo and redo against a plain string; every step is checked whole.
TEST(TextBufferTest, RandomEditsAgreeWithAPlainString)
{
    const QString alphabet[] = {u"a"_qs,
                                u"B"_qs,
                                u"\r"_qs,
                                u"\n"_qs,
                                u"\r\n"_qs,
                                u"ё"_qs,
                                u"Ё"_qs,
                                u" "_qs,
                                u"\U00010400"_qs,
                                u"\U00010428"_qs,
                                QString(QChar(u'\0')),
                                u"\u2028"_qs};
    std::mt19937 random(20261208);
    auto pick = [&random](qsizetype n) {
        return qsizetype(std::uniform_int_distribution<qsizetype>(0, n)(random));
    };
    auto randomText = [&] {
        QString text;
        for (qsizetype n = pick(4); n > 0; --n)
            text += alphabet[pick(std::size(alphabet) - 1)];
        return text;
    };

    TextBuffer buffer;
    std::vector<QString> states{u""_qs};
    std::size_t state = 0;
    std::size_t clean = 0;
    for (int step = 0; step < 3000; ++step) {
        const QString& model = states[state];
        const int action = int(pick(9));
        if (action <= 4) {
            // One edit, or (action 4) a group of two that undoes as one step.
            QString next = model;
            const int edits = action == 4 ? 2 : 1;
            bool recorded = false;
            if (edits > 1)
                buffer.beginEditGroup();
            for (int e = 0; e < edits; ++e) {
                const qsizetype pos = pick(next.size());
                const qsizetype removed = pick(std::min<qsizetype>(3, next.size() - pos));
                const QString inserted = randomText();
                next.replace(pos, removed, inserted);
                recorded = recorded || removed > 0 || !inserted.isEmpty();
                buffer.breakTyping();
                buffer.replace(pos, removed, inserted,
                               action == 0 ? TextBuffer::EditKind::Typing
                                           : TextBuffer::EditKind::Other);
            }
            if (edits > 1)
                buffer.endEditGroup();
            if (recorded) {
                states.resize(state + 1);
                if (clean > state)
                    clean = std::size_t(-1);
                states.push_back(next);
                ++state;
            }
        } else if (action == 5 && state > 0) {
            buffer.undo();
            --state;
        } else if (action == 6 && state + 1 < states.size()) {
            buffer.redo();
            ++state;
        } else if (action == 7 && model.size() > 2) {
            const QString needle = model.mid(pick(model.size() - 2), 2);
            const qsizetype count = buffer.replaceAll(needle, u"r"_qs, 0, model.size());
            QString next;
            qsizetype expectedCount = 0;
            qsizetype copied = 0;
            for (auto [at, end] = modelMatch(model, needle, 0, model.size(), Qt::CaseInsensitive);
                 at >= 0; std::tie(at, end) =
                              modelMatch(model, needle, end, model.size(), Qt::CaseInsensitive)) {
                next += model.mid(copied, at - copied) + u"r"_qs;
                copied = end;
                ++expectedCount;
            }
            next += model.mid(copied);
            ASSERT_EQ(count, expectedCount)
                << "step " << step << ": " << unitsOf(needle) << " in " << unitsOf(model);
            if (count > 0) {
                states.resize(state + 1);
                if (clean > state)
                    clean = std::size_t(-1);
                states.push_back(next);
                ++state;
            }
        } else if (action == 8) {
            buffer.setModified(false);
            clean = state;
        } else if (action == 9 && model.size() > 0) {
            const qsizetype from = pick(model.size());
            const qsizetype to = from + pick(model.size() - from);
            const QString needle = model.mid(pick(model.size() - 1), 1 + pick(3));
            for (Qt::CaseSensitivity cs : {Qt::CaseInsensitive, Qt::CaseSensitive}) {
                ASSERT_EQ(buffer.find(needle, from, to, cs), modelFind(model, needle, from, to, cs))
                    << "step " << step << ": " << unitsOf(needle) << " in [" << from << ", " << to
                    << ") of " << unitsOf(model);
            }
        }
        expectMatchesModel(buffer, states[state]);
        if (HasFatalFailure()) {
            ADD_FAILURE() << "step " << step;
            return;
        }
        ASSERT_EQ(buffer.isModified(), state != clean) << "step " << step;
    }
}

} // namespace
