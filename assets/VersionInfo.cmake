# The version record: the one place its values are kept. The numeric version
# is the project's (1.0.0.0, in the top CMakeLists.txt); these are the string
# fields, as Windows shows them in the executable's properties.
set(VANTREL_COMPANY_NAME "---")
set(VANTREL_PRODUCT_NAME "Vantrel1")
set(VANTREL_FILE_VERSION_TEXT "1.00")
set(VANTREL_PRODUCT_VERSION_TEXT "1.00")
set(VANTREL_INTERNAL_NAME "Vantrel1")
set(VANTREL_ORIGINAL_FILENAME "Vantrel1.exe")
# What the program is, for the Windows application manifest.
set(VANTREL_DESCRIPTION "Velto: the sum of the series K!/(4+K)!")

# The Linux desktop identity: one application id for the desktop entry, the
# icon, the software-centre metadata and the running program, and the date
# of the release the version above names.
set(VANTREL_APP_ID "org.vantrel.vantrel1")
set(VANTREL_RELEASE_DATE "2026-12-08")

# Windows resource numbers of the icon group and its two images, and of the
# formula picture.
set(VANTREL_ICON_GROUP_ID 1)
set(VANTREL_ICON_32_ID 30001)
set(VANTREL_ICON_16_ID 30002)
set(VANTREL_FORMULA_BITMAP_ID 100)
