#include "shell/catalogue.h"

namespace pm {
namespace {

constexpr RegisteredExtension kRow0[] = {{L"ani", L"ani"}};
constexpr RegisteredExtension kRow1[] = {{L"b3d", L"b3d"}};
constexpr RegisteredExtension kRow2[] = {{L"bmp", L"bmp"}, {L"dib", L"bmp"}};
constexpr RegisteredExtension kRow3[] = {{L"clp", L"clp"}};
constexpr RegisteredExtension kRow4[] = {{L"crw", L"crw"}, {L"cr2", L"cr2"}, {L"cr3", L"cr3"}};
constexpr RegisteredExtension kRow5[] = {{L"cur", L"cur"}};
constexpr RegisteredExtension kRow6[] = {{L"dcm", L"dcm"}, {L"acr", L"dcm"}, {L"ima", L"dcm"}};
constexpr RegisteredExtension kRow7[] = {{L"dcx", L"dcx"}};
constexpr RegisteredExtension kRow8[] = {{L"dds", L"dds"}};
constexpr RegisteredExtension kRow9[] = {{L"djvu", L"djvu"}, {L"iw44", L"djvu"}};
constexpr RegisteredExtension kRow10[] = {{L"dxf", L"dxf"}};
constexpr RegisteredExtension kRow11[] = {{L"ecw", L"ecw"}};
constexpr RegisteredExtension kRow12[] = {{L"emf", L"emf"}};
constexpr RegisteredExtension kRow13[] = {{L"eps", L"eps"}, {L"ps", L"eps"}};
constexpr RegisteredExtension kRow14[] = {{L"exr", L"exr"}};
constexpr RegisteredExtension kRow15[] = {{L"g3", L"g3"}};
constexpr RegisteredExtension kRow16[] = {{L"gif", L"gif"}};
constexpr RegisteredExtension kRow17[] = {{L"hdp", L"hdp"}, {L"jxr", L"hdp"}, {L"wdp", L"hdp"}};
constexpr RegisteredExtension kRow18[] = {{L"heic", L"heic"}};
constexpr RegisteredExtension kRow19[] = {{L"ico", L"ico"}};
constexpr RegisteredExtension kRow20[] = {{L"iff", L"iff"}, {L"lbm", L"iff"}};
constexpr RegisteredExtension kRow21[] = {{L"jls", L"jls"}};
constexpr RegisteredExtension kRow22[] = {{L"jp2", L"jp2"}, {L"jpc", L"jp2"}, {L"j2k", L"jp2"}};
constexpr RegisteredExtension kRow23[] = {
    {L"jpg", L"jpg"}, {L"jpeg", L"jpg"}, {L"jfif", L"jpg"}, {L"jpe", L"jpg"}};
constexpr RegisteredExtension kRow24[] = {{L"jpm", L"jpm"}};
constexpr RegisteredExtension kRow25[] = {{L"jxl", L"jxl"}};
constexpr RegisteredExtension kRow26[] = {{L"mng", L"mng"}, {L"jng", L"jng"}};
constexpr RegisteredExtension kRow27[] = {{L"pbm", L"pbm"}};
constexpr RegisteredExtension kRow28[] = {{L"pcd", L"pcd"}};
constexpr RegisteredExtension kRow29[] = {{L"pcx", L"pcx"}};
constexpr RegisteredExtension kRow30[] = {{L"pgm", L"pgm"}};
constexpr RegisteredExtension kRow31[] = {{L"png", L"png"}};
constexpr RegisteredExtension kRow32[] = {{L"ppm", L"ppm"}};
constexpr RegisteredExtension kRow33[] = {{L"psd", L"psd"}};
constexpr RegisteredExtension kRow34[] = {{L"psp", L"psp"}};
constexpr RegisteredExtension kRow35[] = {{L"ras", L"ras"}, {L"sun", L"ras"}};
constexpr RegisteredExtension kRow36[] = {{L"raw", L"raw"}};
constexpr RegisteredExtension kRow37[] = {{L"rle", L"rle"}};
constexpr RegisteredExtension kRow38[] = {{L"sff", L"sff"}};
constexpr RegisteredExtension kRow39[] = {{L"sgi", L"sgi"}, {L"rgb", L"sgi"}};
constexpr RegisteredExtension kRow40[] = {{L"sid", L"sid"}};
constexpr RegisteredExtension kRow41[] = {{L"tga", L"tga"}};
constexpr RegisteredExtension kRow42[] = {{L"tif", L"tif"}, {L"tiff", L"tif"}};
constexpr RegisteredExtension kRow43[] = {{L"wbmp", L"wbmp"}};
constexpr RegisteredExtension kRow44[] = {{L"webp", L"webp"}};
constexpr RegisteredExtension kRow45[] = {{L"wmf", L"wmf"}};
constexpr RegisteredExtension kRow46[] = {{L"xbm", L"xbm"}};
constexpr RegisteredExtension kRow47[] = {{L"xpm", L"xpm"}};
constexpr RegisteredExtension kRow48[] = {{L"swf", L"swf"}, {L"flv", L"flv"}};
constexpr RegisteredExtension kRow49[] = {{L"ttf", L"ttf"}};
constexpr RegisteredExtension kRow50[] = {{L"asf", L"asf"}};
constexpr RegisteredExtension kRow51[] = {{L"avi", L"avi"}};
constexpr RegisteredExtension kRow52[] = {{L"mpg", L"mpg"}, {L"mpe", L"mpe"}, {L"mpeg", L"mpg"}};
constexpr RegisteredExtension kRow53[] = {{L"mov", L"mov"}};
constexpr RegisteredExtension kRow54[] = {{L"wmv", L"wmv"}};
constexpr RegisteredExtension kRow55[] = {{L"aif", L"aif"}};
constexpr RegisteredExtension kRow56[] = {{L"mid", L"mid"}, {L"rmi", L"rmi"}};
constexpr RegisteredExtension kRow57[] = {{L"mp3", L"mp3"}};
constexpr RegisteredExtension kRow58[] = {{L"ogg", L"ogg"}};
constexpr RegisteredExtension kRow59[] = {{L"au", L"au"}, {L"snd", L"au"}};
constexpr RegisteredExtension kRow60[] = {{L"wav", L"wav"}};
constexpr RegisteredExtension kRow61[] = {{L"wma", L"wma"}};

constexpr std::array<FileTypeRow, kFileTypeRows> kCatalogue = {{
    {L"ANI", L"Animated Windows Cursors *", true, kRow0, IconSource::FileItself},
    {L"B3D", L"BodyPaint 3D Format *", true, kRow1, IconSource::Viewer0},
    {L"BMP/DIB", L"Windows Bitmap", false, kRow2, IconSource::Viewer0},
    {L"CLP", L"Windows Clipboard *", true, kRow3, IconSource::Viewer0},
    {L"CRW/CR2/CR3", L"Canon RAW Format *", true, kRow4, IconSource::Viewer0},
    {L"CUR", L"Windows Cursor", false, kRow5, IconSource::FileItself},
    {L"DCM/ACR/IMA", L"DICOM Format *", true, kRow6, IconSource::Viewer0},
    {L"DCX", L"Multipage Zsoft Paintbrush", false, kRow7, IconSource::Viewer0},
    {L"DDS", L"Direct Draw Surface *", true, kRow8, IconSource::Viewer0},
    {L"DJVU/IW44", L"DjVu Format *", true, kRow9, IconSource::Viewer0},
    {L"DXF", L"Drawing Interchange Format *", true, kRow10, IconSource::Viewer0},
    {L"ECW", L"Enhanced Compressed Wavelet *", true, kRow11, IconSource::Viewer0},
    {L"EMF", L"Enhanced Windows Metafile", false, kRow12, IconSource::Viewer0},
    {L"EPS/PS", L"PostScript Format *", true, kRow13, IconSource::Viewer0},
    {L"EXR", L"EXR Format *", true, kRow14, IconSource::Viewer0},
    {L"G3", L"G3 FAX Format *", true, kRow15, IconSource::Viewer0},
    {L"GIF", L"Compuserve GIF", false, kRow16, IconSource::Viewer0},
    {L"HDP/JXR/WDP", L"JPEG-XR/HD-Photo Format *", true, kRow17, IconSource::Viewer0},
    {L"HEIC", L"High Efficiency Image File Format *", true, kRow18, IconSource::Viewer0},
    {L"ICO", L"Windows Icon", false, kRow19, IconSource::FileItself},
    {L"IFF/LBM", L"Amiga Interchange File Format *", true, kRow20, IconSource::Viewer0},
    {L"JLS", L"JPEG-LS Format *", true, kRow21, IconSource::Viewer0},
    {L"JP2/JPC/J2K", L"JPEG2000 Format *", true, kRow22, IconSource::Viewer0},
    {L"JPG/JPEG/JFIF/JPE", L"JPEG Format", false, kRow23, IconSource::Viewer0},
    {L"JPM", L"JPM Format *", true, kRow24, IconSource::Viewer0},
    {L"JXL", L"JPEG XL Format *", true, kRow25, IconSource::Viewer0},
    {L"MNG/JNG", L"Multiple Network Graphics *", true, kRow26, IconSource::Viewer0},
    {L"PBM", L"Portable Bitmap", false, kRow27, IconSource::Viewer0},
    {L"PCD", L"Kodak Photo CD", false, kRow28, IconSource::Viewer0},
    {L"PCX", L"Zsoft Paintbrush", false, kRow29, IconSource::Viewer0},
    {L"PGM", L"Portable Greymap", false, kRow30, IconSource::Viewer0},
    {L"PNG", L"Portable Network Graphics", false, kRow31, IconSource::Viewer0},
    {L"PPM", L"Portable Pixelmap", false, kRow32, IconSource::Viewer0},
    {L"PSD", L"Adobe Photoshop Image", false, kRow33, IconSource::Viewer0},
    {L"PSP", L"Paint Shop Pro Image *", true, kRow34, IconSource::Viewer0},
    {L"RAS/SUN", L"Sun Raster Format *", true, kRow35, IconSource::Viewer0},
    {L"RAW", L"RAW Image Data *", true, kRow36, IconSource::Viewer0},
    {L"RLE", L"Utah RLE Format *", true, kRow37, IconSource::Viewer0},
    {L"SFF", L"Structured Fax Format *", true, kRow38, IconSource::Viewer0},
    {L"SGI/RGB", L"Silicon Graphics Image *", true, kRow39, IconSource::Viewer0},
    {L"SID", L"LizardTech MrSID Format *", true, kRow40, IconSource::Viewer0},
    {L"TGA", L"Truevision Targa", false, kRow41, IconSource::Viewer0},
    {L"TIF/TIFF", L"Tagged Image File Format", false, kRow42, IconSource::Viewer0},
    {L"WBMP", L"WAP Bitmap *", true, kRow43, IconSource::Viewer0},
    {L"WEBP", L"Weppy Format *", true, kRow44, IconSource::Viewer0},
    {L"WMF", L"Windows Metafile", false, kRow45, IconSource::Viewer0},
    {L"XBM", L"X-Bitmap *", true, kRow46, IconSource::Viewer0},
    {L"XPM", L"X-Pixmap *", true, kRow47, IconSource::Viewer0},
    {L"SWF/FLV", L"Macromedia Flash Format *", true, kRow48, IconSource::Viewer0},
    {L"TTF", L"True Type Font Format *", true, kRow49, IconSource::Viewer0},
    {L"ASF", L"Advanced Systems Format *", true, kRow50, IconSource::Viewer9},
    {L"AVI", L"Video for Windows *", true, kRow51, IconSource::Viewer9},
    {L"MPG/MPE/MPEG", L"MPEG Movie *", true, kRow52, IconSource::Viewer9},
    {L"MOV", L"Apple QuickTime Movie *", true, kRow53, IconSource::Viewer9},
    {L"WMV", L"Windows Media Video File *", true, kRow54, IconSource::Viewer9},
    {L"AIF", L"Audio Interchange Format *", true, kRow55, IconSource::Viewer8},
    {L"MID/RMI", L"MIDI Sound Format *", true, kRow56, IconSource::Viewer8},
    {L"MP3", L"MPEG Audio Format *", true, kRow57, IconSource::Viewer8},
    {L"OGG", L"Ogg Vorbis Audio Format *", true, kRow58, IconSource::Viewer8},
    {L"AU/SND", L"SUN Audio Format *", true, kRow59, IconSource::Viewer8},
    {L"WAV", L"Windows Audio Format *", true, kRow60, IconSource::Viewer8},
    {L"WMA", L"Windows Media Audio File *", true, kRow61, IconSource::Viewer8},
}};

}  // namespace

std::span<const FileTypeRow, kFileTypeRows> FileTypeCatalogue() { return kCatalogue; }

}  // namespace pm
