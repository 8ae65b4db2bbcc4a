#pragma once

#include "text/LineSlice.h"
#include "text/TextBuffer.h"
#include "text/TextLayout.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QInputMethodEvent>
#include <QPointer>

#include <memory>

class QMenu;
class QMimeData;
class TextDecoration;

// A plain-text view and editor over a TextBuffer: draws only the visible lines and, of a long
// line, only the visible slice; no word wrap; both scroll bars always shown. Positions are the
// buffer's raw positions. Keys, mouse, clipboard (with the X11 selection), drag and drop, input
// methods and accessibility work as in Qt's own text fields.
class TextView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // A view over a buffer of its own.
    explicit TextView(QWidget* parent = nullptr);
    // A view over `buffer`, which must outlive the view.
    explicit TextView(TextBuffer* buffer, QWidget* parent = nullptr);
    ~TextView() override;

    TextBuffer* buffer() const { return buffer_; }

    qsizetype cursorPosition() const { return cursor_; }
    qsizetype anchorPosition() const { return anchor_; }
    qsizetype selectionStart() const { return std::min(cursor_, anchor_); }
    qsizetype selectionEnd() const { return std::max(cursor_, anchor_); }
    bool hasSelection() const { return cursor_ != anchor_; }
    // The selected characters as stored (a copy).
    QString selectedText() const;
    // Selects [anchor, position) (either order) with the caret at `position`; clamps both.
    void setSelection(qsizetype anchor, qsizetype position);
    void setCursorPosition(qsizetype position, bool keepAnchor = false);
    // Replaces the selection by `text` (as stored: no line-end conversion), caret after it.
    void replaceSelection(const QString& text,
                          TextBuffer::EditKind kind = TextBuffer::EditKind::Other);
    // Inserts `text` at the caret, replacing the selection; line breaks take the buffer's form.
    void insertPlainText(const QString& text);

    bool isReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);
    // While true (the default) the selection is not drawn when the view lacks the focus.
    bool hideSelection() const { return hideSelection_; }
    void setHideSelection(bool hide);

    // The caret's rectangle in viewport coordinates.
    QRect cursorRect() const;
    // The rectangle of the character at `position` in viewport coordinates.
    QRect characterRect(qsizetype position) const;
    // The position nearest to a point of the viewport.
    qsizetype positionAt(QPoint viewportPoint) const;
    // x of the caret position `position` from the start of its line, as drawn.
    qreal lineX(qsizetype position) const;
    int lineHeight() const;
    qsizetype firstVisibleLine() const;
    void ensureCursorVisible();

    bool canPaste() const;

    // Colours the text is drawn with besides the palette's (none by default); not owned.
    void setDecoration(TextDecoration* decoration);
    TextDecoration* decoration() const { return decoration_; }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // The preedit text an input method shows at the caret (empty when none).
    QString preeditText() const { return preedit_.text; }

public slots:
    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    void selectAll();
    void clearSelection();
    // Empties the text and its undo history.
    void clear();

signals:
    void textChanged();
    void cursorPositionChanged();
    void selectionChanged();
    void copyAvailable(bool available);
    void undoAvailable(bool available);
    void redoAvailable(bool available);
    void modificationChanged(bool modified);

protected:
    // `text` with each of its line breaks (CR LF, LF or a lone CR) as the buffer's newline.
    QString withBufferLineBreaks(const QString& text) const;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

    // Where the text of the last change of the buffer ends (its position plus what it added).
    qsizetype lastEditEnd() const { return lastEditEnd_; }

    // A standard context menu for the view (undo, redo, cut, copy, paste, delete, select all).
    QMenu* createStandardContextMenu();

private:
    enum class SelectionUnit { Character, Word, Line };

    void init();
    void onContentsChange(qsizetype position, qsizetype removed, qsizetype added);
    // Moves the caret (and the anchor unless `keepAnchor`), ends the typing step and tells
    // everyone who listens.
    void moveCursor(qsizetype position, bool keepAnchor);
    void notifyCursorChange(qsizetype oldCursor, qsizetype oldAnchor);
    bool handleMoveKey(QKeyEvent* event);
    bool handleEditKey(QKeyEvent* event);
    void insertTyped(const QString& text);
    void deleteRange(qsizetype from, qsizetype to, TextBuffer::EditKind kind);
    qsizetype lineColumn(qsizetype position, qsizetype* line) const;
    qsizetype clampPosition(qsizetype position) const;
    qsizetype verticalMove(qsizetype position, qsizetype lines);
    int pageLines() const;

    // The slice of `line` between two x, with the preedit text when the caret is on it.
    std::unique_ptr<LineSlice> sliceOf(qsizetype line, qreal fromX, qreal toX,
                                       bool decorated = false) const;
    qreal contentX(qreal viewportX) const;
    int lineTop(qsizetype line) const;
    // Repaints the lines first..last that are in view.
    void updateLines(qsizetype first, qsizetype last);
    void noteWidth(qreal width);
    void updateScrollBars();

    // Caret blinking: runs only while the view has the focus in an active window and is shown.
    void updateBlinking();
    void repaintCursor();
    void updateInputMethod();
    void notifyAccessibleCursor();

    void setPrimarySelection();
    void selectAtMouse(QPoint viewportPoint, bool keepAnchor);
    void startDrag();
    void pasteFrom(const QMimeData* mime);
    bool acceptsDrag(const QMimeData* mime) const;

    TextBuffer* buffer_ = nullptr;
    TextLayout layout_;
    qsizetype cursor_ = 0;
    qsizetype anchor_ = 0;
    qreal goalX_ = -1;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool caretOn_ = false;
    QBasicTimer blinkTimer_;
    QBasicTimer autoScrollTimer_;
    QBasicTimer tripleClickTimer_;
    QPoint tripleClickPoint_;
    QPoint lastMousePoint_;
    bool mouseSelecting_ = false;
    bool dragCandidate_ = false;
    QPoint dragStartPoint_;
    SelectionUnit selectionUnit_ = SelectionUnit::Character;
    qsizetype unitAnchorStart_ = 0;
    qsizetype unitAnchorEnd_ = 0;
    qsizetype dropPosition_ = -1;

    LineSlice::Preedit preedit_;
    int preeditCursor_ = 0;

    bool hadSelection_ = false;
    bool internalMoveDone_ = false;
    qsizetype lastEditEnd_ = 0;
    int wheelRemainderX_ = 0;
    int wheelRemainderY_ = 0;
    TextDecoration* decoration_ = nullptr;
    // The text an edit of the view itself removes, for screen readers (only while one listens).
    QString removedForAccessibility_;
};
