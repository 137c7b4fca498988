#include <QGuiApplication>
#include <QImage>
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QImage image(1280, 800, QImage::Format_RGB32);
    image.fill(QColor(120, 160, 120));
    return image.save(QString::fromLocal8Bit(argv[1]), "JPG", 90) ? 0 : 1;
}
