// The engine's accessible nodes as a screen reader sees them through the preview: the focused
// state only while the view has the focus, one stable wrapper per node, a tree that reads the
// same up and down, and nothing kept of nodes the engine has deleted.
#include "platform/PageNodes.h"

#include <QAccessibleWidget>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A node as the engine makes one: it stands for a plain object, not a widget, and registers
// itself with Qt.
class EngineNode : public QAccessibleInterface
{
public:
    explicit EngineNode(EngineNode* parent = nullptr, bool focused = false)
        : parent_(parent), focused_(focused)
    {
        if (parent)
            parent->children_.append(this);
        QAccessible::registerAccessibleInterface(this);
    }
    ~EngineNode() override
    {
        if (parent_)
            parent_->children_.removeOne(this);
    }

    bool isValid() const override { return true; }
    QObject* object() const override { return &object_; }
    QAccessibleInterface* childAt(int, int) const override { return child(0); }
    QAccessibleInterface* parent() const override { return parent_ ? parent_ : top; }
    QAccessibleInterface* child(int index) const override { return children_.value(index); }
    int childCount() const override { return int(children_.size()); }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return int(children_.indexOf(const_cast<QAccessibleInterface*>(child)));
    }
    QString text(QAccessible::Text) const override { return QStringLiteral("node"); }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::Paragraph; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focusable = true;
        state.focused = focused_;
        return state;
    }
    QAccessibleInterface* focusChild() const override
    {
        if (focused_)
            return const_cast<EngineNode*>(this);
        for (EngineNode* child : children_)
            if (QAccessibleInterface* focused = child->focusChild())
                return focused;
        return nullptr;
    }

    // The engine's tree hangs under the view's interface.
    QAccessibleInterface* top = nullptr;

private:
    mutable QObject object_;
    EngineNode* parent_;
    QList<EngineNode*> children_;
    bool focused_;
};

void deleteNode(EngineNode* node)
{
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(node));
}

class PageNodesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        view = std::make_unique<QWidget>();
        top = QAccessible::queryAccessibleInterface(view.get());
        nodes = std::make_unique<PageNodes>([this] { return viewHasFocus; }, top);
        // document > paragraph (focused in the engine), link
        root = new EngineNode;
        root->top = top;
        paragraph = new EngineNode(root, true);
        link = new EngineNode(root);
    }
    void TearDown() override
    {
        nodes.reset();
        for (EngineNode* node : {link, paragraph, root})
            deleteNode(node);
    }

    std::unique_ptr<QWidget> view;
    QAccessibleInterface* top = nullptr;
    bool viewHasFocus = false;
    std::unique_ptr<PageNodes> nodes;
    EngineNode* root = nullptr;
    EngineNode* paragraph = nullptr;
    EngineNode* link = nullptr;
};

struct FocusCase
{
    const char* name;
    bool viewHasFocus;
    bool paragraphFocused;
    bool hasFocusChild;
};

class PageNodesFocusTest : public PageNodesTest, public ::testing::WithParamInterface<FocusCase>
{};

TEST_P(PageNodesFocusTest, ReportsTheEnginesFocusOnlyWhileTheViewHasIt)
{
    viewHasFocus = GetParam().viewHasFocus;
    QAccessibleInterface* document = nodes->wrap(root);
    ASSERT_NE(document, nullptr);
    EXPECT_FALSE(document->state().focused);
    EXPECT_EQ(document->child(0)->state().focused, GetParam().paragraphFocused);
    EXPECT_FALSE(document->child(1)->state().focused);
    EXPECT_TRUE(document->child(0)->state().focusable) << "the rest of the state is the engine's";
    QAccessibleInterface* focusChild = document->focusChild();
    EXPECT_EQ(focusChild != nullptr, GetParam().hasFocusChild);
    if (focusChild) {
        EXPECT_EQ(focusChild, document->child(0));
    }
}

INSTANTIATE_TEST_SUITE_P(ViewFocus, PageNodesFocusTest,
                         ::testing::Values(FocusCase{"ViewHasTheFocus", true, true, true},
                                           FocusCase{"FocusElsewhere", false, false, false}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(PageNodesTest, TheTreeReadsTheSameUpAndDownThroughOneWrapperPerNode)
{
    QAccessibleInterface* document = nodes->wrap(root);
    EXPECT_EQ(nodes->wrap(root), document) << "a node has one wrapper";
    EXPECT_NE(document, static_cast<QAccessibleInterface*>(root));
    EXPECT_EQ(document->object(), nullptr) << "a wrapper must not take the engine object's place";
    ASSERT_EQ(document->childCount(), 2);
    for (int i = 0; i < 2; ++i) {
        QAccessibleInterface* child = document->child(i);
        EXPECT_EQ(child->parent(), document) << i;
        EXPECT_EQ(document->indexOfChild(child), i) << i;
        EXPECT_EQ(nodes->unwrap(child), i == 0 ? paragraph : link) << i;
    }
    EXPECT_EQ(document->parent(), top) << "the root is seen under the view";
    EXPECT_EQ(document->childAt(0, 0), document->child(0));
    EXPECT_EQ(nodes->wrap(top), top) << "Qt's own interfaces are not wrapped";
    EXPECT_EQ(nodes->wrap(nullptr), nullptr);
}

TEST_F(PageNodesTest, ANodeTheEngineDeletedIsNoLongerValidNorKept)
{
    QAccessibleInterface* linkWrapper = nodes->wrap(root)->child(1);
    ASSERT_TRUE(linkWrapper->isValid());
    deleteNode(link);
    link = nullptr;
    EXPECT_FALSE(linkWrapper->isValid());
    EXPECT_TRUE(linkWrapper->state().invalid);
    EXPECT_EQ(linkWrapper->childCount(), 0);
    EXPECT_EQ(linkWrapper->text(QAccessible::Name), QString());

    // A node that comes after gets a wrapper of its own.
    auto* newer = new EngineNode(root);
    QAccessibleInterface* newerWrapper = nodes->wrap(newer);
    EXPECT_EQ(nodes->unwrap(newerWrapper), newer);
    EXPECT_TRUE(newerWrapper->isValid());
    link = newer;
}

TEST_F(PageNodesTest, WrappersOfDeletedNodesAreDroppedAsPagesComeAndGo)
{
    for (int page = 0; page < 8; ++page) {
        QList<EngineNode*> shown;
        for (int i = 0; i < 200; ++i) {
            shown.append(new EngineNode(root));
            ASSERT_TRUE(nodes->wrap(shown.last())->isValid());
        }
        for (EngineNode* node : shown)
            deleteNode(node);
    }
    EXPECT_LT(nodes->size(), 1000) << "wrappers of 1600 deleted nodes are kept";
}

} // namespace
