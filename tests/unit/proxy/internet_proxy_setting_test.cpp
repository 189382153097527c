#include "proxy/internet_proxy_setting.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/linux/file_settings_store.h"
#include "tests/support/temp_dir.h"

namespace kiosk::testing {
namespace {

class CountingNotifier : public InternetSettingsNotifier {
public:
    void SettingsChanged() override {
        ++count;
        if (fail) throw std::runtime_error("cannot announce");
    }
    int count = 0;
    bool fail = false;
};

// A store whose text writes fail, to see what stays written.
class FailingTextStore : public FileSettingsStore {
public:
    using FileSettingsStore::FileSettingsStore;
    void WriteText(const std::string&, const std::string&) override { throw std::runtime_error("disk full"); }
};

class ProxySettingTest : public ::testing::Test {
protected:
    std::string StorePath() const { return (dir / "config" / "user-settings").string(); }
    TempDir dir;
    CountingNotifier notifier;
};

TEST_F(ProxySettingTest, StartUpSetsTheLoopbackProxyAndShutdownRestoresWhatWasThere) {
    FileSettingsStore store(StorePath());
    InternetProxySetting setting(store, notifier);
    SavedProxySetting saved;
    setting.Save(saved);
    // A new user has the proxy switched off, no server and no sync mode (which counts as 4).
    EXPECT_EQ(saved.enable, 0);
    EXPECT_EQ(saved.server, "");
    EXPECT_EQ(saved.syncMode, 4);

    EXPECT_EQ(setting.Set(1, 0, "127.0.0.1:81x"), "");
    EXPECT_EQ(notifier.count, 1);
    ASSERT_TRUE(store.OpenKey(InternetProxySetting::kKey));
    EXPECT_EQ(store.ReadInteger("ProxyEnable"), 1);
    EXPECT_EQ(store.ReadText("ProxyServer"), "127.0.0.1:81x");  // written as configured
    EXPECT_EQ(store.ReadInteger("SyncMode5"), 0);
    store.CloseKey();

    EXPECT_EQ(setting.Set(saved.enable, saved.syncMode, saved.server), "");
    SavedProxySetting restored;
    setting.Save(restored);
    // The restore makes the absent values present: sync mode 4, an empty server text.
    EXPECT_EQ(restored.enable, 0);
    EXPECT_EQ(restored.syncMode, 4);
    ASSERT_TRUE(store.OpenKey(InternetProxySetting::kKey));
    EXPECT_TRUE(store.ValueExists("ProxyServer"));
    EXPECT_TRUE(store.ValueExists("SyncMode5"));
}

TEST_F(ProxySettingTest, AValueOfTheWrongKindFailsTheSave) {
    for (const char* broken : {"ProxyEnable=sz:1", "ProxyServer=dword:3", "SyncMode5=sz:0"}) {
        WriteFile(dir / "store",
                  std::string("[") + InternetProxySetting::kKey + "]\nProxyEnable=dword:1\n" + broken + "\n");
        FileSettingsStore store((dir / "store").string());
        InternetProxySetting setting(store, notifier);
        SavedProxySetting saved{7, "kept", 7};
        EXPECT_THROW(setting.Save(saved), std::runtime_error) << broken;
    }
}

TEST_F(ProxySettingTest, AFailedWriteKeepsWhatWasWrittenAndSaysSo) {
    {
        FileSettingsStore store(StorePath());
        InternetProxySetting(store, notifier).Set(0, 4, "old:3128");
    }
    FailingTextStore store(StorePath());
    InternetProxySetting setting(store, notifier);
    notifier.count = 0;
    EXPECT_EQ(setting.Set(1, 0, "127.0.0.1:8181"), "Невозможно настроить прокси");
    EXPECT_EQ(notifier.count, 0);
    SavedProxySetting now;
    setting.Save(now);
    EXPECT_EQ(now.enable, 1);
    EXPECT_EQ(now.server, "old:3128");
    EXPECT_EQ(now.syncMode, 4);
}

TEST_F(ProxySettingTest, AFailedAnnouncementIsAFailureToo) {
    FileSettingsStore store(StorePath());
    InternetProxySetting setting(store, notifier);
    notifier.fail = true;
    EXPECT_EQ(setting.Set(1, 0, "127.0.0.1:8181"), "Невозможно настроить прокси");
}

TEST_F(ProxySettingTest, AKeyThatCannotBeOpenedIsAFailureToSetButNotToSave) {
    WriteFile(dir / "file", "");
    FileSettingsStore store(
        (dir / "file" / "user-settings").string());  // a file stands where the folder must be
    InternetProxySetting setting(store, notifier);
    SavedProxySetting saved{7, "kept", 7};
    setting.Save(saved);
    EXPECT_EQ(saved.server, "kept");
    // The browser would run without the proxy, unfiltered: never a success.
    EXPECT_EQ(setting.Set(1, 0, "127.0.0.1:8181"), "Невозможно настроить прокси");
    EXPECT_EQ(notifier.count, 0);  // nothing written, nothing announced
}

TEST_F(ProxySettingTest, TextsSurviveTheFileWhateverTheyHold) {
    FileSettingsStore store(StorePath());
    ASSERT_TRUE(store.OpenKey("Other"));
    store.WriteText("Odd", "a\\b\nc\rd=e[f]");
    store.WriteInteger("Negative", -5);
    FileSettingsStore again(StorePath());
    ASSERT_TRUE(again.OpenKey("Other"));
    EXPECT_EQ(again.ReadText("Odd"), "a\\b\nc\rd=e[f]");
    EXPECT_EQ(again.ReadInteger("Negative"), -5);
    EXPECT_EQ(again.ReadText("Missing"), "");
    EXPECT_THROW(again.ReadInteger("Missing"), std::runtime_error);
    EXPECT_THROW(again.ReadInteger("Odd"), std::runtime_error);
}

}  // namespace
}  // namespace kiosk::testing
