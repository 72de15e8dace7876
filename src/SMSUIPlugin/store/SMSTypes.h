// Folder codes and storage locations shared by the tree, the tables, the store and the device
// service.
#pragma once

enum SMSTreeNode {
    NODE_LOCAL_OUTBOX = 0,
    NODE_LOCAL_INBOX = 1,
    NODE_LOCAL_DRAFT = 2,
    NODE_LOCAL_FAVORITE = 3,
    NODE_LOCAL_TRASH = 4,
    NODE_LOCAL_REPORT = 5,
    NODE_SIM_OUTBOX = 6,
    NODE_SIM_INBOX = 7,
    NODE_DEVICE_OUTBOX = 8,
    NODE_DEVICE_INBOX = 9,
    NODE_LOCAL_CBS = 10,
    NODE_NONE = 11,
    NODE_SIM_ROOT = 12,
    NODE_LOCAL_ROOT = 13,
    NODE_DEVICE_ROOT = 14,
    NODE_LOCAL_SENT = 15,
    NODE_INVALID = 16
};

enum SMSMemPosition {
    MEM_PC = 0,
    MEM_SIM = 1,
    MEM_DEVICE = 2,
    MEM_INVALID = 16
};

// Integer results used across the plug-in.
enum SMSResult {
    SMS_OK = 0,
    SMS_FAIL = 1,
    SMS_INVALID_ARG = 23
};

// Editor modes; the tool ids of the tool bar use the same numbers.
enum SMSEditorMode {
    EDIT_MODE_DRAFT = 8,
    EDIT_MODE_NEW = 9000,
    EDIT_MODE_SEND = 9002,
    EDIT_MODE_REPLY = 9003,
    EDIT_MODE_FORWARD = 9004,
    // A new message opened from another plug-in (SendSMSToNumber).
    EDIT_MODE_FROM_OUTSIDE = 0x232A
};
