#pragma once
// Where the band's links lead: the maker's mail addresses and web pages.
// Build settings, read by the resource compiler (link texts, hints) and by
// the code that opens them.

#define QM_HOME_URL "http://www.marrowlabs.example/"
#define QM_MANUAL_URL "http://docs.marrowlabs.example/"
#define QM_SUPPORT_URL "http://help.marrowlabs.example/"

#define QM_SUPPORT_MAIL "support@marrowlabs.example"
#define QM_COMMENTS_MAIL "comments@marrowlabs.example"
#define QM_SALES_MAIL "sales@marrowlabs.example"
#define QM_GENERAL_MAIL "info@marrowlabs.example"
