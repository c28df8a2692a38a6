// Writes the sample set into the folder given on the command line.

#include "sampleset/SampleSet.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        err << "usage: tavrin_sampleset FOLDER\n"
               "Writes a complete set of chromatograms, the cylinder database and the settings\n"
               "profile of one sampling run into FOLDER.\n";
        return 2;
    }
    sampleset::WrittenSet set;
    QString error;
    if (!sampleset::WriteSampleSet(args.at(1), &set, &error)) {
        err << error << '\n';
        return 1;
    }
    out << set.chromatograms.size() << " chromatograms in " << set.folder << '/'
        << sampleset::ChromatogramFolderName() << '\n'
        << "cylinders: " << set.mixturesPath << '\n'
        << "settings:  " << set.profilePath << '\n';
    return 0;
}
