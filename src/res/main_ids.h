#pragma once
// Control ids of the main window (template 102): the title buttons, the tab
// labels, the connection controls, the General page and the hidden logs.

namespace velmora::ctl::main {

// Title band.
inline constexpr int kClose = 1002;
inline constexpr int kMinimize = 1005;

// Tab labels, in display order.
inline constexpr int kTabGeneral = 1008;
inline constexpr int kTabVideo = 1012;
inline constexpr int kTabAudio = 1221;
inline constexpr int kTabNetwork = 1224;
inline constexpr int kTabAdvanced = 1225;

// Connection controls.
inline constexpr int kModeGroup = 1015;
inline constexpr int kComMode = 1016;
inline constexpr int kTcpMode = 1017;
inline constexpr int kComGroup = 1018;
inline constexpr int kPortLabel = 1019;
inline constexpr int kPortList = 1020;
inline constexpr int kComConnect = 1021;
inline constexpr int kBaudList = 1279;
inline constexpr int kBaudLabel = 1280;  // names the baud list
inline constexpr int kTcpGroup = 1063;
inline constexpr int kSwitcherIpLabel = 1059;
inline constexpr int kSwitcherIp = 1060;
inline constexpr int kSearch = 1046;
inline constexpr int kTcpConnect = 1045;
inline constexpr int kConfig = 1047;
inline constexpr int kResetGroup = 1097;
inline constexpr int kFactoryReset = 1095;

// General page.
inline constexpr int kInputGroup = 1258;
inline constexpr int kHdmi1 = 1101;
inline constexpr int kHdmi2 = 1103;
inline constexpr int kHdmi3 = 1104;
inline constexpr int kDp = 1105;
inline constexpr int kVga = 1106;
inline constexpr int kAudioLabel = 1206;
inline constexpr int kAudioList = 1205;
inline constexpr int kAutoSwitchLabel = 1259;
inline constexpr int kAutoSwitchList = 1250;
inline constexpr int kOutputGroup = 1255;
inline constexpr int kResolutionLabel = 1166;
inline constexpr int kResolutionList = 1056;
inline constexpr int kAspectLabel = 1167;
inline constexpr int kAspectList = 1251;
inline constexpr int kEdidHdcpGroup = 1254;
inline constexpr int kEdidLabel = 1253;
inline constexpr int kEdidList = 1252;
inline constexpr int kHdcpLabel = 1257;
inline constexpr int kHdcpList = 1256;

// Outside the visible area.
inline constexpr int kClear = 1123;
inline constexpr int kReceiveLog = 1042;
inline constexpr int kSendLog = 1043;
inline constexpr int kReceiveLabel = 1040;
inline constexpr int kSendLabel = 1041;
inline constexpr int kHdmiOutLabel = 1044;
inline constexpr int kStatusLabel1 = 1048;
inline constexpr int kStatusLabel2 = 1049;

// The input buttons in input order 1 to 5.
inline constexpr int kInputButtons[] = {kHdmi1, kHdmi2, kHdmi3, kDp, kVga};

}  // namespace velmora::ctl::main
