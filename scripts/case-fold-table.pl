#!/usr/bin/env perl
# Writes the simple case-folding table of the data-access layer (statuses C and S of the
# Unicode CaseFolding data that perl carries) as C++ initialisers, one pair a line:
#   perl scripts/case-fold-table.pl > platform/data_access/src/case_fold_table.inc
use strict;
use warnings;
use Unicode::UCD qw(all_casefolds);

my $folds = all_casefolds();
print "// Simple case folding, Unicode ", Unicode::UCD::UnicodeVersion(),
      " (statuses C and S): {code point, folded}, ascending.\n";
print "// Made by scripts/case-fold-table.pl; do not edit by hand.\n";
for my $code (sort { $a <=> $b } keys %$folds) {
    my $entry = $folds->{$code};
    next unless $entry->{simple} ne '' && ($entry->{status} eq 'C' || $entry->{status} eq 'S');
    printf "{0x%04X, 0x%s},\n", $code, $entry->{simple};
}
