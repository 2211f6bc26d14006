// The main window with the rest of the control: tables dragged from the tree onto the diagram,
// the options command, procedure parameters through the window's dialog seam, and the hidden
// diagram-file commands.
#include "MainFormTestSupport.h"

#include <QAction>
#include <QMimeData>

#include <memory>

#include "../support/DragInput.h"
#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"

namespace {

class WiringTest : public MainFormTest {
protected:
    QWidget* DiagramViewport() const { return Builder().WorkArea()->viewport(); }
    // The tree's drag payload for Node, made as the tree makes it.
    std::unique_ptr<QMimeData> TreeDrag(QTreeWidgetItem* node) {
        Form->TablesTree()->setCurrentItem(node);
        auto* tree = static_cast<TQBTablesTree*>(Form->TablesTree());
        return std::unique_ptr<QMimeData>(tree->model()->mimeData({tree->currentIndex()}));
    }
    void TearDown() override {
        for (const std::string& file : Files) std::filesystem::remove(file);
        MainFormTest::TearDown();
    }
    std::vector<std::string> Files;
};

TEST_F(WiringTest, TableDroppedFromTheTreeLandsAtTheDropPoint) {
    ASSERT_TRUE(Open());
    std::unique_ptr<QMimeData> data = TreeDrag(Node(TfmMain::tiTable, "Orders"));
    ASSERT_TRUE(data);
    const QPoint drop(220, 140);
    EXPECT_TRUE(TDragPlayer::Over(DiagramViewport(), data.get(), {QPoint(100, 100), drop}));
    EXPECT_NE(TDragPlayer::Drop(DiagramViewport(), data.get(), drop), Qt::IgnoreAction);
    ASSERT_EQ(Builder().Tables().Count(), 1);
    const TPoint expected = Builder().DiagramPoint(Builder().WorkArea()->mapTo(&Builder(), drop).x(),
                                                   Builder().WorkArea()->mapTo(&Builder(), drop).y());
    EXPECT_NEAR(Builder().Tables().Items(0)->Left(), expected.X, 30);
    EXPECT_NEAR(Builder().Tables().Items(0)->Top(), expected.Y, 30);
    EXPECT_NE(MemoText().find("Orders"), std::string::npos);
}

TEST_F(WiringTest, GroupsAndForeignDragsAreRefused) {
    ASSERT_TRUE(Open());
    Form->TablesTree()->setCurrentItem(Form->TablesTree()->topLevelItem(TfmMain::tiTable));
    QMimeData group;
    group.setData(QString::fromLatin1(TQBTablesTree::ObjectMimeType), QByteArray());
    EXPECT_FALSE(TDragPlayer::Over(DiagramViewport(), &group, {QPoint(50, 50)}));
    Form->TablesTree()->setCurrentItem(Node(TfmMain::tiTable, "Orders"));
    QMimeData foreign;
    foreign.setText("Orders");
    EXPECT_FALSE(TDragPlayer::Over(DiagramViewport(), &foreign, {QPoint(50, 50)}));
    TDragPlayer::Drop(DiagramViewport(), &foreign, QPoint(50, 50));
    EXPECT_EQ(Builder().Tables().Count(), 0);
}

TEST_F(WiringTest, OptionsCommandRunsTheDialogThroughTheSeam) {
    ASSERT_TRUE(Open("SELECT * FROM Shippers"));
    QString title;
    Builder().WorkArea()->ModalHook = [&title](QDialog& dialog) {
        title = dialog.windowTitle();
        return false;
    };
    ASSERT_TRUE(Form->miOptions->isEnabled());
    Form->miOptions->trigger();
    EXPECT_FALSE(title.isEmpty());
}

TEST_F(WiringTest, DiagramFilesSaveAndLoadOnTheBuilderPage) {
    ASSERT_TRUE(Open("SELECT o.OrderID, c.CompanyName FROM Orders o INNER JOIN Customers c ON c.CustomerID = o.CustomerID"));
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("korvel-wiring-" + std::to_string(::getpid()) + ".ini")).string();
    Files.push_back(file);
    QString title;
    Form->FileDialogHook = [&](bool, const QString& t, const QString&, const QString&) {
        title = t;
        return QString::fromStdString(file);
    };
    EXPECT_FALSE(Form->miSaveDiagram->isVisible());
    Builder().Tables().Items(0)->SetLeft(400);
    Form->miSaveDiagram->trigger();
    EXPECT_EQ(title, "Save Diagram");
    EXPECT_TRUE(std::filesystem::exists(file));
    const std::string saved = Builder().GetSQL();
    Form->miClear->trigger();
    EXPECT_EQ(Builder().Tables().Count(), 0);
    Form->miLoadDiagram->trigger();
    EXPECT_EQ(title, "Load Diagram");
    EXPECT_EQ(Builder().GetSQL(), saved);
    EXPECT_NE(MemoText().find("Customers"), std::string::npos);
    ASSERT_EQ(Builder().Tables().Count(), 2);
    // Not on the SQL page.
    ClickTab(TfmMain::pgSQL);
    title.clear();
    EXPECT_FALSE(Form->SaveDiagramFile());
    EXPECT_TRUE(title.isEmpty());
}

}  // namespace
