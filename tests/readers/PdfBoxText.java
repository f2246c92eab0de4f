// SPDX-License-Identifier: GPL-2.0-or-later
// Prints the text PDFBox's text stripper finds in each PDF named as an argument, as it stands
// (in the order of the content stream, not re-sorted by position). Each file's text follows a line
// "\x01<n>" with its place among the arguments. One start-up for many files: the JVM is slow to start.
import java.io.File;
import org.apache.pdfbox.pdmodel.PDDocument;
import org.apache.pdfbox.text.PDFTextStripper;

public class PdfBoxText {
    public static void main(String[] args) throws Exception {
        for (int i = 0; i < args.length; ++i) {
            try (PDDocument document = PDDocument.load(new File(args[i]))) {
                System.out.print("\u0001" + i + "\n" + new PDFTextStripper().getText(document) + "\n");
            }
        }
    }
}
