// Control ids of the main window. The window dispatches by them, and the automation tests find
// the controls by them (GetDlgItem on the control's parent panel, or a search of the window).
#pragma once

enum ControlId {
    // Banner bar
    ID_RzVerS2 = 1001,
    ID_RL_QX_Top_Update,
    ID_RL_QX_Top_Help,
    ID_RL_QX_Top_About,
    ID_Banner_Picture,

    // Software page
    ID_RL_QX_MTip_SelSoftware = 1101,
    ID_RCB_QX_SelSoftwareType,
    ID_RCB_QX_SelSoftwareSubType,
    ID_RCB_QX_SelSoftwareOS,
    ID_RLV_QX_SelSoftWarelist,
    ID_RL_QX_MTip_WelcomeUse,
    ID_Side_Picture,
    ID_RL_QX_MTip_SoftwareDetail,
    ID_RL_QX_MTip_SubmitSoftware,
    ID_RBN_QX_SelSoftware_Next,
    ID_RBN_QX_SelSoftware_Submit,
    ID_RBN_QX_SelSoftware_Update,
    ID_Plus_Label_1,
    ID_Plus_Label_2,

    // Install-path page
    ID_RL_QX_MTip_SelSoftwareInstalledPath = 1201,
    ID_RLV_QX_SelSoftWareInstalledPathlist,
    ID_RBN_QX_SelSoftWareInstalledPath_Add,
    ID_RBN_QX_SelSoftWareInstalledPath_Delete,
    ID_RL_QX_MTip_LeftTip,
    ID_RBN_QX_SelSoftwareInstalledPath_Analyzed,
    ID_RBN_QX_SelSoftwareInstalledPath_Previous,

    // Analysis page
    ID_RL_QX_MTip_SelSoftwareAnalyzed_Wait = 1301,
    ID_RGB_QX_Mid_Tip_SelSoftwareAnalyzed_State,
    ID_RL_QX_MTip_SelSoftwareAnalyzed_Step,
    ID_RPB_QX_SelSoftwareAnalyed_Step,
    ID_RL_QX_MTip_SelSoftwareAnalyzed_ScanInfo,
    ID_RLB_QX_SelSoftwareAnalyed_FindedInfo,
    ID_RBN_QX_SelSoftwareAnalyzed_Next,
    ID_RBN_QX_SelSoftwareAnalyzed_SeeInfo,

    // Report page
    ID_RL_QX_MTip_SelSoftwareUninstall_TopTip = 1401,
    ID_RPC_QX_SelSoftwareUninstall_Report,
    ID_RzLabel1,
    ID_RCB_QX_SelSoftwareUninstall_Protocol,
    ID_RLV_QX_SelSoftwareUninstall_InstalledPath,
    ID_RLV_QX_SelSoftwareUninstall_NewReg,
    ID_RLV_QX_SelSoftwareUninstall_AXCLSID,
    ID_RLV_QX_SelSoftwareUninstall_ShellLink,
    ID_RLV_QX_SelSoftwareUninstall_CoreFile,
    ID_RLV_QX_SelSoftwareUninstall_ProcessRun,
    ID_RLV_QX_SelSoftwareUninstall_SysFile,
    ID_RLV_QX_SelSoftwareUninstall_Service,
    ID_RBN_QX_SelSoftwareUninstall_Clean,
    ID_RBN_QX_SelSoftwareUninstall_Back,
    ID_N_Preview_InstalledPath,
    ID_N_Preview_NewReg,
    ID_N_Preview_AXCLSID,

    // Clean page
    ID_RL_QX_MTip_SelSoftwareUninstallC_Wait = 1501,
    ID_RGB_QX_Mid_Tip_SelSoftwareUninstallC_State,
    ID_RL_QX_MTip_SelSoftwareUninstallC_Step,
    ID_RPB_QX_SelSoftwareUninstallC_Step,
    ID_RLB_QX_SelSoftwareUninstallC_CleanInfo,
    ID_RBN_QX_SelSoftwareUninstallC_Back,
    ID_RBN_QX_SelSoftwareUninstallC_Undo,

    // Information pages
    ID_RzLabel13 = 1601,
    ID_RzMemo3,
    ID_RzURLLabel4,
    ID_RL_QX_Other_Tip_Welcome,
    ID_RPC_QX_Other,
    ID_RzVerS,
    ID_RzMemo2,
    ID_RPC_QX_Other_Contributor,
    ID_RLV_QX_Contributor,
    ID_RzLabel16,
    ID_RLV_QX_WebSiteContributor,
    ID_Info_Caption_First,  // six caption labels follow
    ID_Info_Value_First = ID_Info_Caption_First + 6,  // six value labels follow
    ID_Info_Rights = ID_Info_Value_First + 6,
    ID_RBN_QX_Other_Back,

    // Update page
    ID_RzLabel14 = 1701,
    ID_RGB_QX_Mid_Tip_Update_State,
    ID_RzLabel15,
    ID_RPB_QX_Update_Step,
    ID_RMO_QX_Update_Info,
    ID_RBN_QX_Update_CheckUpdate,
    ID_RBN_QX_Update_Back,

    // Timer
    ID_Timer_STA_Tip = 1801,
    ID_Timer_RunEnd,  // watches for the end of a worker's run

    // Software page: the search above the side panel
    ID_RL_QX_SelSoftwareSearch,
    ID_RE_QX_SelSoftwareSearch,
};
