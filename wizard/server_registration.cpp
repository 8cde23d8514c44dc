#include "wizard/server_registration.h"

namespace qm {

const char* ServerCallMessage(ServerCallResult result) {
    switch (result) {
        case ServerCallResult::Done:
            break;
        case ServerCallResult::OleInitFailed:
            return "installer error: could not register dll (OLEINIT)";
        case ServerCallResult::DllNotLoaded:
            return "Installer error: error loading dll";
        case ServerCallResult::EntryMissing:
            return "Installer error: there is a problem with the dll";
        case ServerCallResult::EntryFailed:
            return "Installer error: could not register dll";
    }
    return "";
}

}  // namespace qm
