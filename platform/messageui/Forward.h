#pragma once

// MessageUI's classes, declared for headers that only name them.

class MFMailComposeViewController;
