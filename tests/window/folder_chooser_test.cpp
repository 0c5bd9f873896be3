#include "support/wait_for.h"
#include "ondrel/window/dialogs/save_folder_dialog.h"
#include <QDir>
#include <QTemporaryDir>
#include <QTreeView>
#include <gtest/gtest.h>

namespace ondrel {
namespace {

// The Save As chooser reopens where the last choice was made, and shows it: the
// folder selected and scrolled into view, however far down the tree it sits.
TEST(FolderChooser, OpensWithTheLastFolderSelectedAndInView)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(QDir(root.path()).mkdir(QString("run%1").arg(i, 3, 10, QChar('0'))));
    const QString last = root.path() + "/run250";

    SaveFolderDialog dialog("/", last.toStdString(), nullptr);
    dialog.show();
    auto* tree = dialog.findChild<QTreeView*>("Dir1");
    ASSERT_NE(tree, nullptr);
    // The tree fills in as the folders load, the siblings before it too.
    ASSERT_TRUE(waitFor(
        [&] {
            return tree->currentIndex().parent().isValid()
                   && tree->model()->rowCount(tree->currentIndex().parent()) == 300;
        },
        10000));
    EXPECT_EQ(tree->currentIndex().data(Qt::DisplayRole).toString(), "run250");
    EXPECT_TRUE(waitFor([&] { return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())); }));
    EXPECT_EQ(dialog.Choice().dir, last.toStdString());
}

} // namespace
} // namespace ondrel
