#include "xpc/QuillfenXPC.h"

namespace quillfen::QuillfenXPC {

platform::InterfaceDescription serviceInterface() {
    return {std::string(serviceInterfaceName),
            {{"registerClientWithEndpoint:reply:", "RegisterClientWithEndpoint", "s"},
             {"currentSnapshotWithReply:", "CurrentSnapshot", ""},
             {"setPopoverOpen:", "SetPopoverOpen", "b"},
             {"applySettings:", "ApplySettings", "ay"}}};
}

platform::InterfaceDescription clientInterface() {
    return {std::string(clientInterfaceName),
            {{"snapshotDidUpdate:", "SnapshotDidUpdate", "ay"},
             {"settingsDidUpdate:", "SettingsDidUpdate", "ay"}}};
}

} // namespace quillfen::QuillfenXPC
