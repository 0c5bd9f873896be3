#include "ondrel/window/locale_text.h"
#include <QMimeData>
#include <gtest/gtest.h>

namespace ondrel {
namespace {

std::optional<std::string> Dropped(const QByteArray& uriList)
{
    QMimeData data;
    data.setData("text/uri-list", uriList);
    return DraggedProject(&data);
}

TEST(DraggedProject, ThePathKeepsTheBytesAFileManagerSent)
{
    // File managers send a file name's bytes percent-encoded, whatever the encoding.
    EXPECT_EQ(Dropped("file:///data/caf%E9/Project.onp\r\n"), "/data/caf\xe9/Project.onp");
    EXPECT_EQ(Dropped("file:///data/caf%C3%A9/run%201/Project.onp\r\n"), "/data/caf\xc3\xa9/run 1/Project.onp");
    EXPECT_EQ(Dropped("file:///data/RUN.ONP\r\n"), "/data/RUN.ONP");
}

TEST(DraggedProject, OnlyOneLocalProjectFileIsTaken)
{
    EXPECT_EQ(Dropped("file:///data/AI.ond\r\n"), std::nullopt);
    EXPECT_EQ(Dropped("https://example.org/Project.onp\r\n"), std::nullopt);
    EXPECT_EQ(Dropped("file:///a/Project.onp\r\nfile:///b/Project.onp\r\n"), std::nullopt);
    EXPECT_EQ(DraggedProject(nullptr), std::nullopt);
}

} // namespace
} // namespace ondrel
