#include "res/dialog_templates.h"

#include "res/resource.h"
#include "res/version.h"

namespace meravel::res {

namespace {

using enum ControlKind;

constexpr DialogControl kMainControls[] = {
    {Edit, IDC_AGE, "IDC_AGE", "", 10, 15, 30, 12, kAlignRight | kAutoHScroll | kBorder | kTabStop,
        "Âge de la mère, en années", "De 18 à 45 ans"},
    {ComboBox, IDC_FORMULA, "IDC_FORMULA", "", 9, 55, 50, 50, kDropDownList | kVScroll | kTabStop, "Formule"},
    {Edit, IDC_WEEKS, "IDC_WEEKS", "", 85, 55, 28, 12, kDigitsOnly | kAlignRight | kAutoHScroll | kBorder | kTabStop,
        "Âge gestationnel, en semaines d'aménorrhée"},
    {UpDown, IDC_WEEKS_SPIN, "IDC_WEEKS_SPIN", "", 109, 55, 11, 15,
        kSetBuddyInt | kAlignToBuddy | kAutoBuddy | kArrowKeys, "Semaines", "De 1 à 42 semaines"},
    {GroupBox, IDC_STATIC, "", "Age de la mère", 5, 5, 65, 35, 0, ""},
    {Label, IDC_STATIC, "", "ans", 45, 15, 15, 10, kAlignLeft, ""},
    {Edit, IDC_TERM_RISK, "IDC_TERM_RISK", "", 85, 15, 105, 12,
        kReadOnly | kAlignCenter | kAutoHScroll | kBorder | kTabStop, "Probabilité à terme",
        "Risque à terme en pourcentage et en risque de 1 sur N, ou Erreur si l'âge est hors de 18 à 45 ans ; "
        "valeur de référence 1/250"},
    {Edit, IDC_GEST_RISK, "IDC_GEST_RISK", "", 140, 55, 50, 12,
        kReadOnly | kAlignCenter | kAutoHScroll | kBorder | kTabStop, "Risque en fonction de l'âge gestationnel",
        "Risque de 1 sur N à l'âge gestationnel choisi"},
    {GroupBox, IDC_STATIC, "", "En fonction de l'âge gestationnel", 80, 45, 115, 30, 0, ""},
    {Label, IDC_STATIC, "", "SA", 116, 57, 10, 10, kAlignLeft, ""},
    {GroupBox, IDC_STATIC, "", "Formule", 5, 45, 65, 30, 0, ""},
    {GroupBox, IDC_STATIC, "", "Probabilité à terme", 80, 5, 115, 35, 0, ""},
    {Label, IDC_STATIC, "", "Valeur de référence = 1/250", 93, 28, 100, 9, kAlignLeft | kTransparent, ""},
    {Edit, IDC_ADVICE, "IDC_ADVICE", "", 5, 90, 190, 12, kReadOnly | kAlignCenter | kAutoHScroll | kBorder | kTabStop,
        "Conseil", "Affiché quand le risque à terme dépasse 1/250"},
    {Label, IDC_STATIC, "", "[18-45]", 13, 29, 25, 10, kAlignLeft, ""},
    {Rule, IDC_STATIC, "", "", 5, 85, 190, 1, kSunkenEdge, ""},
    {Label, IDC_STATUS, "IDC_STATUS", "", 5, 106, 190, 8, kAlignLeft, ""},
};

constexpr MenuItem kOptionsMenu[] = {
    {ID_MENU_INFO, "ID_MENU_INFO", "&Infos", "F1", ShortcutScope::Help},
    {0, "", ""},
    {ID_MENU_QUIT, "ID_MENU_QUIT", "&Quitter", "Ctrl+Q", ShortcutScope::Linux},
};

constexpr MenuItem kToolsMenu[] = {
    {ID_TOOLS_DELIVERY_AGE, "ID_TOOLS_DELIVERY_AGE", "Â&ge à l'accouchement..."},
    {ID_TOOLS_COPY_SUMMARY, "ID_TOOLS_COPY_SUMMARY", "&Copier le résumé", "Ctrl+Shift+C"},
    {ID_TOOLS_RISK_CURVE, "ID_TOOLS_RISK_CURVE", "Courbe du &risque..."},
};

constexpr MenuPopup kMainMenus[] = {
    {"&Options", kOptionsMenu},
    {"O&utils", kToolsMenu},
};

constexpr DialogControl kDeliveryAgeControls[] = {
    {Label, IDC_STATIC, "", "Date de naissance :", 7, 9, 108, 8, kAlignLeft, "", "", IDC_BIRTH_DATE},
    {DatePicker, IDC_BIRTH_DATE, "IDC_BIRTH_DATE", "", 115, 7, 75, 13, kTabStop, "Date de naissance"},
    {Label, IDC_STATIC, "", "Date prévue d'accouchement :", 7, 27, 108, 8, kAlignLeft, "", "", IDC_DELIVERY_DATE},
    {DatePicker, IDC_DELIVERY_DATE, "IDC_DELIVERY_DATE", "", 115, 25, 75, 13, kTabStop, "Date prévue d'accouchement"},
    {Label, IDC_STATIC, "", "Âge à cette date :", 7, 46, 108, 8, kAlignLeft, "", "", IDC_DELIVERY_AGE},
    {Edit, IDC_DELIVERY_AGE, "IDC_DELIVERY_AGE", "", 115, 44, 40, 12,
        kReadOnly | kAlignRight | kAutoHScroll | kBorder | kTabStop, "Âge à la date prévue d'accouchement, en années"},
    {Label, IDC_STATIC, "", "ans", 159, 46, 20, 8, kAlignLeft, "", "", IDC_DELIVERY_AGE},
    {Label, IDC_STATIC, "", "Terme aujourd'hui :", 7, 64, 108, 8, kAlignLeft, "", "", IDC_DELIVERY_TERM},
    {Edit, IDC_DELIVERY_TERM, "IDC_DELIVERY_TERM", "", 115, 62, 60, 12,
        kReadOnly | kAlignRight | kAutoHScroll | kBorder | kTabStop,
        "Terme aujourd'hui, en semaines d'aménorrhée et jours"},
    {Label, IDC_STATIC, "", "Convention française : DPA = 41 SA + 0 j.", 7, 80, 198, 8, kAlignLeft, ""},
    {Label, IDC_DELIVERY_MESSAGE, "IDC_DELIVERY_MESSAGE", "", 7, 92, 198, 18, kAlignLeft, ""},
    {Label, IDC_DELIVERY_WEEKS_MESSAGE, "IDC_DELIVERY_WEEKS_MESSAGE", "", 7, 112, 198, 10, kAlignLeft, ""},
    {PushButton, IDOK, "IDOK", "OK", 100, 128, 50, 14, kDefaultButton | kTabStop, "OK"},
    {PushButton, IDCANCEL, "IDCANCEL", "Annuler", 155, 128, 50, 14, kTabStop, "Annuler"},
};

constexpr DialogControl kRiskCurveControls[] = {
    {Plot, IDC_RISK_CURVE, "IDC_RISK_CURVE", "", 0, 0, 300, 180, kTabStop, "Courbe du risque à terme"},
    {Label, IDC_RISK_CURVE_CAPTION, "IDC_RISK_CURVE_CAPTION", "", 5, 187, 235, 9, kAlignLeft, ""},
    {PushButton, IDCANCEL, "IDCANCEL", "Fermer", 245, 184, 50, 14, kDefaultButton | kTabStop, "Fermer"},
};

constexpr DialogControl kAboutControls[] = {
    {Label, IDC_ABOUT_TITLE, "IDC_ABOUT_TITLE", "Meravel version 1.0", 25, 0, 119, 20,
        kAlignCenter | kCenterVertically | kSunkenEdge, ""},
    {Icon, IDC_ABOUT_ICON, "IDC_ABOUT_ICON", "", 0, 0, 20, 20, 0, "Meravel"},
    {Label, IDC_STATIC, "IDC_ABOUT_CREDITS", "© 2026 les auteurs de Meravel · GPL-3+ · " MERAVEL_VERSION, 25, 25, 185,
        8, kAlignLeft, ""},
    {Label, IDC_STATIC, "IDC_ABOUT_CITATION",
        "Formule de SNIJDERS : RJM et al. Ultrasound Obstet Gynecol 1999;13:167-70", 5, 80, 150, 17,
        kAlignLeft | kTransparent, ""},
    {PushButton, IDOK, "IDOK", "OK", 190, 80, 23, 14, kDefaultButton | kTabStop, "OK"},
    {Label, IDC_STATIC, "IDC_ABOUT_TERMS", "Risque selon l'âge seul, pas un diagnostic", 25, 45, 185, 10,
        kAlignCenter | kStaticEdge, ""},
    {Label, IDC_STATIC, "IDC_ABOUT_CONTACT", "Contact : voir le fichier README", 50, 60, 140, 10, kAlignLeft, ""},
};

constexpr const char *kFormulas[] = {"Cuckle", "Hecht"};

// Windows' logical dialog face: it maps it to Microsoft Sans Serif, a
// scalable face drawn to the metrics of the bitmap "MS Sans Serif" at 8
// points and 96 DPI, so that the windows keep their size there and grow with
// the DPI beyond 144, where the bitmap face has no larger size. (Wine maps it
// to Tahoma, whose dialog units at 8 points and 96 DPI are the same.)
constexpr const char *kDialogFace = "MS Shell Dlg";

} // namespace

const DialogTemplate kMainDialog = {
    IDD_MAIN,
    kDialogVisible | kDialogMinimizeBox | kDialogCentered | kDialogAppWindow,
    "Meravel",
    202,
    117,
    kDialogFace,
    8,
    kMainControls,
    IDR_MAIN_MENU,
    kMainMenus,
};

const DialogTemplate kAboutDialog = {
    IDD_ABOUT,
    0,
    "A propos de Meravel",
    217,
    97,
    kDialogFace,
    8,
    kAboutControls,
    0,
    {},
};

const DialogTemplate kDeliveryAgeDialog = {
    IDD_DELIVERY_AGE,
    0,
    "Âge à la date prévue d'accouchement",
    212,
    148,
    kDialogFace,
    8,
    kDeliveryAgeControls,
    0,
    {},
};

const DialogTemplate kRiskCurveDialog = {
    IDD_RISK_CURVE,
    kDialogMinimizeBox,
    "Courbe du risque à terme",
    300,
    204,
    kDialogFace,
    8,
    kRiskCurveControls,
    0,
    {},
};

const DialogTemplate *DialogTemplateById(int id)
{
    for (const DialogTemplate *dialog : {&kMainDialog, &kAboutDialog, &kDeliveryAgeDialog, &kRiskCurveDialog}) {
        if (dialog->id == id)
            return dialog;
    }
    return nullptr;
}

const std::span<const char *const> kFormulaEntries = kFormulas;

const char *const kAboutItemText = "&A propos de Meravel...";

namespace {
const StringEntry kStrings[] = {
    {IDS_ABOUT_ITEM, kAboutItemText},
};
} // namespace

const std::span<const StringEntry> kStringTable = kStrings;

} // namespace meravel::res
