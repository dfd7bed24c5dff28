#include "gui/file_drop.h"

#include <QMimeData>
#include <QUrl>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

namespace tolvane::gui {
namespace {

using ::testing::ElementsAreArray;

std::unique_ptr<QMimeData> withUrls(const QList<QUrl>& urls) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls(urls);
    return data;
}

// A file manager hands over URLs; the lists hold paths as the system writes
// them, so a dropped path matches one typed or loaded from the list file.
TEST(DroppedFiles, ArriveInTheSystemsOwnPathForm) {
    struct Case {
        QString local;
        std::string path;
    };
#ifdef _WIN32
    const std::vector<Case> cases = {
        {QStringLiteral("C:/Users/hanako/写真"), "C:\\Users\\hanako\\写真"},
        {QStringLiteral("D:/"), "D:\\"},
        {QStringLiteral("//server/share/メモ.txt"), "\\\\server\\share\\メモ.txt"},
    };
#else
    const std::vector<Case> cases = {
        {QStringLiteral("/home/hanako/写真"), "/home/hanako/写真"},
        {QStringLiteral("/"), "/"},
        {QStringLiteral("/home/hanako/a b/メモ.txt"), "/home/hanako/a b/メモ.txt"},
    };
#endif
    QList<QUrl> urls;
    std::vector<std::string> expected;
    for (const Case& one : cases) {
        urls.append(QUrl::fromLocalFile(one.local));
        expected.push_back(one.path);
    }
    const window::DroppedFiles dropped = droppedFilesOf(withUrls(urls).get());
    ASSERT_TRUE(dropped.has_value());
    EXPECT_THAT(*dropped, ElementsAreArray(expected));
}

TEST(DroppedFiles, AnythingButAListOfLocalFilesIsNoFileList) {
    const auto mixed = withUrls(
        {QUrl::fromLocalFile(QStringLiteral("/a")), QUrl(QStringLiteral("https://x.example/"))});
    EXPECT_FALSE(droppedFilesOf(mixed.get()).has_value());
    QMimeData text;
    text.setText(QStringLiteral("/not/a/file/list"));
    EXPECT_FALSE(droppedFilesOf(&text).has_value());
    const auto none = withUrls({});
    EXPECT_FALSE(droppedFilesOf(none.get()).has_value());
    EXPECT_FALSE(droppedFilesOf(nullptr).has_value());
}

} // namespace
} // namespace tolvane::gui
