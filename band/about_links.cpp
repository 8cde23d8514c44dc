#include "band/about_links.h"

#include "band/resources/face_addresses.h"
#include "band/resources/face_ids.h"

namespace qm::band {

std::optional<AboutLink> AboutLinkFor(int result) {
    switch (result) {
        case IDC_LINK_SUPPORT_MAIL:
            return AboutLink{AboutLinkKind::Mail, "mailto:" QM_SUPPORT_MAIL, {}};
        case IDC_LINK_COMMENTS_MAIL:
            return AboutLink{AboutLinkKind::Mail, "mailto:" QM_COMMENTS_MAIL, {}};
        case IDC_LINK_SALES_MAIL:
            return AboutLink{AboutLinkKind::Mail, "mailto:" QM_SALES_MAIL, {}};
        case IDC_LINK_GENERAL_MAIL:
            return AboutLink{AboutLinkKind::Mail, "mailto:" QM_GENERAL_MAIL, {}};
        case IDC_LINK_HOME:
            return AboutLink{AboutLinkKind::Web, QM_HOME_URL, "quellmark_marrowlabs"};
        case IDC_LINK_MANUAL:
            return AboutLink{AboutLinkKind::Web, QM_MANUAL_URL, "quellmark_manual"};
        case IDC_LINK_SUPPORT_WEB:
            return AboutLink{AboutLinkKind::Web, QM_SUPPORT_URL, "quellmark_support"};
    }
    return std::nullopt;
}

std::string HomePageAddress() {
    return QM_HOME_URL;
}

}  // namespace qm::band
