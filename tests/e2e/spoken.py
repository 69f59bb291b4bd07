"""What each control of each window must say to a screen reader.

One table for both front ends: the Linux program is checked with Orca itself
(orca_check.py), the Windows program over MSAA under Wine (msaa_check.py).
A control is found by its identifier; its name, value and description are
those of the window as it opens (age 25, Cuckle, 2 weeks); `role` is the role
as AT-SPI names it and `msaa` the MSAA role Windows gives the same control.
A description given as a tuple lists words it must hold.
"""

from collections import namedtuple

Control = namedtuple("Control", "id role msaa name value description")

# MSAA roles (oleacc.h).
ROLE_CHART, ROLE_GROUPING, ROLE_STATICTEXT, ROLE_TEXT = 0x11, 0x14, 0x29, 0x2A
ROLE_PUSHBUTTON, ROLE_COMBOBOX, ROLE_SPINBUTTON, ROLE_DROPLIST, ROLE_ALERT = 0x2B, 0x2E, 0x34, 0x2F, 0x08

CALCULATOR = "Meravel"
ABOUT = "A propos de Meravel"
DATES = "Âge à la date prévue d'accouchement"
CURVE = "Courbe du risque à terme"

WINDOWS = {
    CALCULATOR: [
        Control(1001, "text", ROLE_TEXT, "Âge de la mère, en années", "25", ("18", "45")),
        Control(1000, "combo box", ROLE_COMBOBOX, "Formule", "Cuckle", None),
        # On Linux the weeks and their arrows are one spin button; on Windows
        # a field and an up-down control, whose value is the position a step
        # starts from.
        Control(1004, "spin button", ROLE_TEXT, "Âge gestationnel, en semaines d'aménorrhée", "2", None),
        Control(1005, None, ROLE_SPINBUTTON, "Semaines", "2", ("1", "42")),
        Control(1002, "text", ROLE_TEXT, "Probabilité à terme", "0.07% soit 1/1408", ("1 sur N", "1/250")),
        Control(1003, "text", ROLE_TEXT, "Risque en fonction de l'âge gestationnel", "1/309", ("1 sur N",)),
        Control(1007, "text", ROLE_TEXT, "Conseil", "", ("1/250",)),
    ],
    ABOUT: [
        Control(1, "push button", ROLE_PUSHBUTTON, "OK", None, None),
    ],
    DATES: [
        Control(1010, "spin button", ROLE_DROPLIST, "Date de naissance", None, None),
        Control(1011, "spin button", ROLE_DROPLIST, "Date prévue d'accouchement", None, None),
        Control(1012, "text", ROLE_TEXT, "Âge à la date prévue d'accouchement, en années", None, None),
        # It opens 140 days before the expected delivery: 287 - 140 = 147.
        Control(1014, "text", ROLE_TEXT, "Terme aujourd'hui, en semaines d'aménorrhée et jours", "21 SA + 0 j", None),
        Control(1, "push button", ROLE_PUSHBUTTON, "OK", None, None),
    ],
    CURVE: [
        Control(1020, "chart", ROLE_CHART, "Courbe du risque à terme", None,
                ("Cuckle", "Hecht", "1/250", "repère : 25 ans, 1/1408")),
        Control(1021, "label", ROLE_STATICTEXT, "Cuckle, 25 ans : 1/1408 ; seuil 1/250", None, None),
        Control(2, "push button", ROLE_PUSHBUTTON, "Fermer", None, None),
    ],
}
