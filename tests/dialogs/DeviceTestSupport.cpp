// Shared fixture of the command tests.
#include "DeviceTestSupport.h"

#include "programmer/PlugInInterface.h"

#include <fstream>
#include <iterator>

namespace {

template <class Proc>
void Bind(HMODULE module, PlugInFunctionIndex index, Proc& entry)
{
    entry = reinterpret_cast<Proc>(
        reinterpret_cast<void*>(::GetProcAddress(module, PlugInDeviceFunctionNames[static_cast<std::size_t>(index)])));
    ASSERT_NE(entry, nullptr) << PlugInDeviceFunctionNames[static_cast<std::size_t>(index)];
}

}  // namespace

std::vector<std::uint8_t> Bytes(const std::vector<std::int32_t>& buffer)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(buffer.size());
    for (std::int32_t v : buffer)
        bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

DeviceFixture::DeviceFixture()
    : demoDir_("ZP_DEMO_DIR", demo_.Path()),
      files_(tk::FileDialogSeam(),
             [](const tk::FileDialogRequest& r) { ADD_FAILURE() << "unexpected file dialog: " << r.title; }),
      modals_([](tk::Form& form) { ADD_FAILURE() << "unexpected modal form: " << form.ClassName(); })
{
}

DeviceFixture::~DeviceFixture()
{
    DestroyMainForm();
    // Frees the plug-in, which writes its chip files back.
    ResetMainUnit();
}

void DeviceFixture::ConfigureDemo(const std::string& config)
{
    ASSERT_TRUE(WriteTextFile(demo_.File("DemoPlugin.cfg"), config + "TRACE=2\n"));
    ClearDemoTrace();
}

TMainForm& DeviceFixture::StartWithDevice(const std::string& demoConfig, bool commandMode)
{
    ConfigureDemo(demoConfig);
    if (!commandMode)
        messages_.Answer(tk::mrOk);  // the port-kind message
    main_ = &CreateMainForm("PORTS=378\n", commandMode);
    BindDemoPlugIn();
    main_->IdentifyDevice();
    messages_.Clear();
    ClearDemoTrace();
    return *main_;
}

void DeviceFixture::BindDemoPlugIn()
{
    TMainUnitState& unit = MainUnit();
    const std::string path = ExecutableFolder() + "DemoPlugin.dll";
    HMODULE module = ::LoadLibraryA(path.c_str());
    ASSERT_NE(module, nullptr) << path;
    unit.PlugInHandle = module;
    unit.PlugInLoaded = 1;
    unit.PlugInFileName = "DemoPlugin.dll";
    TPlugInEntryPoints& p = unit.PlugIn;
    Bind(module, pfPowerOffDevice, p.PowerOffDevice);
    Bind(module, pfPowerUpDevice, p.PowerUpDevice);
    Bind(module, pfCheckProgrammingDevice, p.CheckProgrammingDevice);
    Bind(module, pfCheckSignature, p.CheckSignature);
    Bind(module, pfEnableProgramming, p.EnableProgramming);
    Bind(module, pfEraseChip, p.EraseChip);
    Bind(module, pfGetDeviceFoundName, p.GetDeviceFoundName);
    Bind(module, pfGetDeviceFoundFlashSize, p.GetDeviceFoundFlashSize);
    Bind(module, pfGetDeviceFoundEEpromSize, p.GetDeviceFoundEEpromSize);
    Bind(module, pfReadFlashAddress, p.ReadFlashAddress);
    Bind(module, pfWriteFlashAddress, p.WriteFlashAddress);
    Bind(module, pfReadEEpromAddress, p.ReadEEpromAddress);
    Bind(module, pfWriteEEpromAddress, p.WriteEEpromAddress);
    Bind(module, pfGetSpecialBitsCategoryName, p.GetSpecialBitsCategoryName);
    Bind(module, pfReadSpecialBits1, p.ReadSpecialBits1);
    Bind(module, pfReadSpecialBits2, p.ReadSpecialBits2);
    Bind(module, pfReadSpecialBits3, p.ReadSpecialBits3);
    Bind(module, pfWriteSpecialBits1, p.WriteSpecialBits1);
    Bind(module, pfWriteSpecialBits2, p.WriteSpecialBits2);
    Bind(module, pfWriteSpecialBits3, p.WriteSpecialBits3);
    Bind(module, pfReadSpecialBits1Names, p.ReadSpecialBits1Names);
    Bind(module, pfReadSpecialBits2Names, p.ReadSpecialBits2Names);
    Bind(module, pfReadSpecialBits3Names, p.ReadSpecialBits3Names);
    const char* names[3] = {};
    p.GetSpecialBitsCategoryName(names, 2);
    unit.SpecialBitsCategoryNames.clear();
    for (const char* name : names)
        unit.SpecialBitsCategoryNames.emplace_back(name ? name : "");
}

std::vector<std::uint8_t> DeviceFixture::ChipBytes(const std::string& device, const std::string& memory,
                                                   std::size_t size) const
{
    std::ifstream in(demo_.File(device + "." + memory), std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes.resize(size, 0xFF);
    return bytes;
}

void DeviceFixture::SeedChip(const std::string& device, const std::string& memory, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(demo_.File(device + "." + memory), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> DeviceFixture::DemoTrace() const { return ReadLines(demo_.File("DemoPlugin.trace")); }

void DeviceFixture::ClearDemoTrace() { ::DeleteFileA(demo_.File("DemoPlugin.trace").c_str()); }

std::vector<std::string> DeviceFixture::TraceOf(const std::string& name) const
{
    std::vector<std::string> lines;
    for (const std::string& line : DemoTrace()) {
        if (line.compare(0, name.size(), name) == 0 && (line.size() == name.size() || line[name.size()] == ' '))
            lines.push_back(line);
    }
    return lines;
}
