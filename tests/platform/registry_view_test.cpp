#include "platform/memory_registry.h"

#include <gtest/gtest.h>

using platform::MemoryRegistry;

TEST(MemoryRegistry, KeysOpenWhateverTheLetterCaseAndSeparators) {
    MemoryRegistry reg;
    reg.SetValue("HARDWARE\\DEVICEMAP\\SERIALCOMM", "\\Device\\Serial0", "COM3");
    for (const char* path : {"HARDWARE\\DEVICEMAP\\SERIALCOMM", "\\hardware\\devicemap\\serialcomm\\",
                             "Hardware\\\\DeviceMap\\SerialComm"}) {
        const auto key = reg.OpenKey(path);
        ASSERT_TRUE(key.has_value()) << path;
        EXPECT_EQ(key->Text("\\DEVICE\\SERIAL0"), "COM3");
    }
    EXPECT_FALSE(reg.OpenKey("HARDWARE\\DEVICEMAP\\SERIALCOM").has_value());
}

TEST(MemoryRegistry, EnumeratesInInsertionOrderAndKeepsSpelling) {
    MemoryRegistry reg;
    reg.AddKey("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0403&PID_6001\\A1");
    reg.AddKey("SYSTEM\\CurrentControlSet\\Enum\\ACPI\\PNP0501\\1");
    reg.SetValue("X", "b", "2");
    reg.SetValue("X", "a", "1");
    reg.SetValue("X", "B", "3"); // replaces, position kept

    const auto en = reg.OpenKey("system\\currentcontrolset\\enum");
    ASSERT_TRUE(en);
    EXPECT_EQ(en->SubKeys, (std::vector<std::string>{"USB", "ACPI"}));
    const auto x = reg.OpenKey("x");
    ASSERT_TRUE(x);
    ASSERT_EQ(x->Values.size(), 2u);
    EXPECT_EQ(x->Values[0], (std::pair<std::string, std::string>{"b", "3"}));
    EXPECT_EQ(x->Text("A"), "1");
    EXPECT_EQ(x->Text("missing"), "");
}

TEST(SystemRegistry, IsEmptyUntilAMachineIsInstalled) {
    EXPECT_FALSE(platform::SystemRegistry().OpenKey("HARDWARE").has_value());
    auto reg = std::make_shared<MemoryRegistry>();
    reg->AddKey("HARDWARE\\DEVICEMAP");
    platform::InstallSystemRegistry(reg);
    EXPECT_TRUE(platform::SystemRegistry().OpenKey("HARDWARE\\DEVICEMAP").has_value());
}
